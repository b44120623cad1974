#include "ui/CaptionTab.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QToolButton>
#include <QSignalBlocker>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QVBoxLayout>

#include "settings/ValueCodes.h"

namespace lumora {

namespace {

// The button that is down shows the selection colour, so the chosen position
// is seen at a glance; the style's own pressed look barely differs from the rest.
class PositionButton : public QToolButton {
 public:
  using QToolButton::QToolButton;

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    if (isChecked()) {
      option.palette.setColor(QPalette::Button, palette().color(QPalette::Highlight));
      option.palette.setColor(QPalette::ButtonText, palette().color(QPalette::HighlightedText));
    }
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
  }
};

QToolButton* positionButton(const char* name, const char* caption, QWidget* parent) {
  auto* button = new PositionButton(parent);
  button->setText(QString::fromUtf8(caption));
  button->setObjectName(QLatin1String(name));
  button->setCheckable(true);
  button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  // The style's padding would make the row of four wider than the tab allows;
  // the caption itself needs far less.
  button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 6);
  return button;
}

QComboBox* colorList(const char* name, const QString& hint, QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName(QLatin1String(name));
  list->setToolTip(hint);
  // The longest colour name would push the previews out of the fixed window.
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  list->setMinimumContentsLength(12);
  for (const PaletteEntry& entry : kPalette) list->addItem(QString::fromUtf8(entry.listText));
  return list;
}

}  // namespace

CaptionTab::CaptionTab(OptionsContext& context, OptionsWindow& window, QWidget* parent)
    : OptionsPage(context, window, parent),
      logic_(context.settings, context.dialogs),
      positionBack_(QStringLiteral(":/lumora/caption-position-back.png")),
      textBack_(QStringLiteral(":/lumora/caption-text-back.png")) {
  auto* settingsBox = new QGroupBox(QStringLiteral(" Einstellungen "), this);
  settingsBox->setObjectName(QStringLiteral("gbBeschriftung"));
  auto* grid = new QGridLayout(settingsBox);
  grid->setContentsMargins(6, 4, 6, 4);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(3);

  btnOben_ = positionButton("btnOben", "Oben", settingsBox);
  btnMitte_ = positionButton("btnMitte", "Mitte", settingsBox);
  btnUnten_ = positionButton("btnUnten", "Unten", settingsBox);
  btnKeine_ = positionButton("btnKeine", "Keine", settingsBox);
  btnOben_->setToolTip(QStringLiteral("Beschriftung am oberen Bildrand"));
  btnMitte_->setToolTip(QStringLiteral("Beschriftung in der Bildmitte"));
  btnUnten_->setToolTip(QStringLiteral("Beschriftung am unteren Bildrand"));
  btnKeine_->setToolTip(QStringLiteral("Keine Beschriftung"));
  positionGroup_ = new QButtonGroup(this);
  positionGroup_->setExclusive(true);
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(1);
  for (QToolButton* b : {btnOben_, btnMitte_, btnUnten_, btnKeine_}) {
    positionGroup_->addButton(b);
    buttons->addWidget(b);
    connect(b, &QToolButton::clicked, this, [this] { btnPositionClick(); });
  }

  cbTextSize_ = new QComboBox(settingsBox);
  cbTextSize_->setObjectName(QStringLiteral("cbTextSize"));
  cbTextSize_->setToolTip(QStringLiteral("Zeichenhöhe der Beschriftung"));
  for (int i = 0; i < kFontSizeCount; ++i) cbTextSize_->addItem(FontSizeListText(i));
  cbTextColor_ = colorList("cbTextColor", QStringLiteral("Farbe des Textes"), settingsBox);
  cbBackColor_ = colorList("cbBackColor", QStringLiteral("Farbe des Hintergrundbalkens"), settingsBox);
  cbTransparenz_ = new QCheckBox(QStringLiteral("Hintergrund transparent"), settingsBox);
  cbTransparenz_->setObjectName(QStringLiteral("cbTransparenz"));
  cbZeit_ = new QCheckBox(QStringLiteral("Uhrzeit und Datum einblenden"), settingsBox);
  cbZeit_->setObjectName(QStringLiteral("cbZeit"));
  edTextString_ = new QLineEdit(settingsBox);
  edTextString_->setObjectName(QStringLiteral("edTextString"));
  edTextString_->setToolTip(QStringLiteral("Text der Beschriftung"));

  const char* captions[] = {"Beschriftung:", "Schriftgröße:", "Textfarbe:", "Hintergrundfarbe:"};
  for (int row = 0; row < 4; ++row) grid->addWidget(new QLabel(QString::fromUtf8(captions[row]), settingsBox), row, 0);
  grid->addLayout(buttons, 0, 1);
  grid->addWidget(cbTextSize_, 1, 1);
  grid->addWidget(cbTextColor_, 2, 1);
  grid->addWidget(cbBackColor_, 3, 1);
  grid->addWidget(cbTransparenz_, 4, 0, 1, 2);
  grid->addWidget(cbZeit_, 5, 0, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Textstring:"), settingsBox), 6, 0);
  grid->addWidget(edTextString_, 6, 1);
  grid->setRowStretch(7, 1);

  auto* previewBox = new QGroupBox(QStringLiteral(" Vorschau "), this);
  previewBox->setObjectName(QStringLiteral("gbVorschau"));
  auto* previews = new QVBoxLayout(previewBox);
  previews->setContentsMargins(6, 4, 6, 4);
  previews->setSpacing(4);
  imgPosPreBack_ = previewLabel("imgPosPreBack",
                                QSize(CaptionTabLogic::kPositionWidth, CaptionTabLogic::kPositionHeight),
                                QStringLiteral("Lagevorschau des Beschriftungsfeldes"));
  lblTextPreview_ = previewLabel("lblTextPreview", QSize(CaptionTabLogic::kTextWidth, CaptionTabLogic::kTextHeight),
                                 QStringLiteral("Textvorschaufeld"));
  previews->addWidget(imgPosPreBack_, 0, Qt::AlignHCenter);
  previews->addWidget(lblTextPreview_, 0, Qt::AlignHCenter);
  previews->addStretch(1);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(settingsBox, 1);
  layout->addWidget(previewBox);

  // Connected last: the window is still being built while the page is.
  connect(cbTextSize_, &QComboBox::currentIndexChanged, this, [this](int i) { logic_.setFontSizeIndex(i); });
  connect(cbTextColor_, &QComboBox::currentIndexChanged, this, [this](int i) {
    logic_.setTextColorIndex(i);
    UpdateTextPreview();
  });
  connect(cbBackColor_, &QComboBox::currentIndexChanged, this, [this](int i) {
    logic_.setBackColorIndex(i);
    UpdateTextPreview();
  });
  connect(cbTransparenz_, &QCheckBox::toggled, this, [this](bool on) {
    logic_.setTransparent(on);
    UpdateTextPreview();
  });
  connect(cbZeit_, &QCheckBox::toggled, this, [this](bool on) { logic_.setZeiteinblenden(on); });
  connect(edTextString_, &QLineEdit::textChanged, this, [this](const QString& text) { logic_.setText(text); });

  UpdatePositionPreview();
  UpdateTextPreview();
}

QLabel* CaptionTab::previewLabel(const char* name, QSize size, const QString& hint) {
  auto* label = new QLabel(this);
  label->setObjectName(QLatin1String(name));
  label->setFixedSize(size);
  label->setToolTip(hint);
  return label;
}

void CaptionTab::loadFromSettings() {
  // The handlers would only write back what they are given; the previews are
  // refreshed once at the end instead.
  const CaptionControls c = logic_.loadControls();
  const QSignalBlocker b1(cbTextSize_), b2(cbTextColor_), b3(cbBackColor_), b4(cbTransparenz_), b5(cbZeit_),
      b6(edTextString_);
  SetPositionButtons(c.position);
  cbTextSize_->setCurrentIndex(c.sizeIndex);
  cbTextColor_->setCurrentIndex(c.textColorIndex);
  cbBackColor_->setCurrentIndex(c.backColorIndex);
  cbTransparenz_->setChecked(c.transparent);
  edTextString_->setText(c.text);
  cbZeit_->setChecked(c.zeit);
}

void CaptionTab::initWindowState() { UpdateTextPreview(); }

void CaptionTab::lockForTimer(bool running) {
  for (QToolButton* b : {btnOben_, btnMitte_, btnUnten_, btnKeine_}) b->setEnabled(!running);
  setEnabled(!running);
}

void CaptionTab::SetPositionButtons(uint8_t position) {
  QToolButton* const byCode[] = {btnOben_, btnMitte_, btnUnten_, btnKeine_};
  // An exclusive group keeps one button down; releasing all needs it lifted.
  positionGroup_->setExclusive(false);
  for (size_t i = 0; i < 4; ++i) byCode[i]->setChecked(i == position);
  positionGroup_->setExclusive(true);
  UpdatePositionPreview();
}

void CaptionTab::btnPositionClick() {
  logic_.setPosition(
      CaptionTabLogic::PositionFromButtons(btnOben_->isChecked(), btnMitte_->isChecked(), btnUnten_->isChecked()));
  UpdatePositionPreview();
  window_.SetStatusPosition();
}

void CaptionTab::UpdatePositionPreview() {
  const uint8_t shown =
      CaptionTabLogic::PositionFromButtons(btnOben_->isChecked(), btnMitte_->isChecked(), btnUnten_->isChecked());
  imgPosPreBack_->setPixmap(QPixmap::fromImage(CaptionTabLogic::PositionPreview(positionBack_, shown)));
}

void CaptionTab::UpdateTextPreview() {
  lblTextPreview_->setPixmap(QPixmap::fromImage(logic_.textPreview(textBack_)));
}

}  // namespace lumora
