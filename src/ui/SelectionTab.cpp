#include "ui/SelectionTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace lumora {

namespace {

QLabel* numberLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setMinimumWidth(48);
  return label;
}

}  // namespace

SelectionTab::SelectionTab(OptionsContext& context, OptionsWindow& window, QWidget* parent)
    : OptionsPage(context, window, parent), logic_(context.settings) {
  auto* infoBox = new QGroupBox(QStringLiteral(" Informationen "), this);
  infoBox->setObjectName(QStringLiteral("gbAuswahlInfo"));
  auto* grid = new QGridLayout(infoBox);
  grid->setContentsMargins(8, 2, 8, 2);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(1);
  lblSizeX_ = numberLabel("lblSizeX", infoBox);
  lblSizeY_ = numberLabel("lblSizeY", infoBox);
  lblLinksObenH_ = numberLabel("lblLinksObenH", infoBox);
  lblLinksObenV_ = numberLabel("lblLinksObenV", infoBox);
  lblRechtsUntenH_ = numberLabel("lblRechtsUntenH", infoBox);
  lblRechtsUntenV_ = numberLabel("lblRechtsUntenV", infoBox);
  const struct {
    const char* caption;
    QLabel* number;
  } rows[] = {
      {"Bereichgröße horizontal::", lblSizeX_},
      {"Bereichgröße vertikal:", lblSizeY_},
      {"Position:", nullptr},
      {"Linksoben horizontal:", lblLinksObenH_},
      {"Linksoben vertikal:", lblLinksObenV_},
      {"Rechtsunten horizontal:", lblRechtsUntenH_},
      {"Rechtsunten vertikal:", lblRechtsUntenV_},
  };
  for (int row = 0; row < 7; ++row) {
    auto* caption = new QLabel(QString::fromUtf8(rows[row].caption), infoBox);
    if (!rows[row].number) {
      grid->addWidget(caption, row, 0, 1, 3);
      continue;
    }
    grid->addWidget(caption, row, 0);
    grid->addWidget(rows[row].number, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("Pixel"), infoBox), row, 2);
  }
  grid->setColumnStretch(0, 1);

  auto* previewBox = new QGroupBox(QStringLiteral(" Auswahlübersicht "), this);
  previewBox->setObjectName(QStringLiteral("gbAuswahlVorschau"));
  auto* previewLayout = new QVBoxLayout(previewBox);
  previewLayout->setContentsMargins(6, 2, 6, 4);
  imgPreView_ = new QLabel(previewBox);
  imgPreView_->setObjectName(QStringLiteral("imgPreView"));
  imgPreView_->setFixedSize(SelectionTabLogic::kPreviewWidth, SelectionTabLogic::kPreviewHeight);
  imgPreView_->setAlignment(Qt::AlignCenter);
  imgPreView_->setToolTip(QStringLiteral("Auswahlvorschau - Der deselektierte Bereich wird eingefärbt."));
  imgPreView_->setPixmap(QPixmap(QStringLiteral(":/lumora/placeholder.png")));
  previewLayout->addWidget(imgPreView_, 0, Qt::AlignCenter);

  auto* settingsBox = new QGroupBox(QStringLiteral(" Einstellungen "), this);
  settingsBox->setObjectName(QStringLiteral("gbAuswahlEinstellungen"));
  btnAuswahl_ = new QPushButton(QStringLiteral("Bereichsauswahl..."), settingsBox);
  btnAuswahl_->setObjectName(QStringLiteral("btnAuswahl"));
  btnAuswahl_->setToolTip(QStringLiteral("Wechselt zur Bereichsauswahl - Verlassen durch Rechtsklick!"));
  cbUseAuswahl_ = new QCheckBox(QStringLiteral("Gewählten Bereich berücksichtigen"), settingsBox);
  cbUseAuswahl_->setObjectName(QStringLiteral("cbUseAuswahl"));
  cbUseAuswahl_->setToolTip(QStringLiteral("Screenshots zeigen nur den gewählten Bereich"));
  cbMauszeiger_ = new QCheckBox(QStringLiteral("Mauszeiger mit aufnehmen"), settingsBox);
  cbMauszeiger_->setObjectName(QStringLiteral("cbMauszeiger"));
  cbMauszeiger_->setToolTip(QStringLiteral("Der Mauszeiger erscheint im Screenshot an seiner Stelle"));
  cbBildschirm_ = new QComboBox(settingsBox);
  cbBildschirm_->setObjectName(QStringLiteral("cbBildschirm"));
  cbBildschirm_->addItems({QStringLiteral("Hauptbildschirm"), QStringLiteral("Bildschirm mit dem Mauszeiger"),
                           QStringLiteral("Alle Bildschirme")});
  cbBildschirm_->setToolTip(QStringLiteral("Was ein Screenshot ohne gewählten Bereich zeigt"));
  auto* lblBildschirm = new QLabel(QStringLiteral("Ganzer Bildschirm:"), settingsBox);
  lblBildschirm->setBuddy(cbBildschirm_);
  auto* settingsLayout = new QGridLayout(settingsBox);
  settingsLayout->setContentsMargins(8, 2, 8, 4);
  settingsLayout->setHorizontalSpacing(12);
  settingsLayout->setVerticalSpacing(2);
  settingsLayout->addWidget(btnAuswahl_, 0, 0);
  settingsLayout->addWidget(cbUseAuswahl_, 0, 1);
  settingsLayout->addWidget(lblBildschirm, 1, 0);
  settingsLayout->addWidget(cbBildschirm_, 1, 1, Qt::AlignLeft);
  settingsLayout->addWidget(cbMauszeiger_, 2, 1);
  settingsLayout->setColumnStretch(1, 1);

  auto* top = new QHBoxLayout;
  top->setSpacing(4);
  top->addWidget(infoBox, 1);
  top->addWidget(previewBox);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addLayout(top);
  layout->addWidget(settingsBox);
  layout->addStretch(1);

  // Connected last: the window is still being built while the page is.
  connect(btnAuswahl_, &QPushButton::clicked, this, [this] { window_.selectRegionButton(); });
  connect(cbUseAuswahl_, &QCheckBox::toggled, this, [this](bool ticked) { cbUseAuswahlClick(ticked); });
  connect(cbBildschirm_, &QComboBox::currentIndexChanged, this, [this](int index) { cbBildschirmChange(index); });
  connect(cbMauszeiger_, &QCheckBox::toggled, this,
          [this](bool ticked) { ctx_.settings.Bildschirm.Mauszeiger = ticked; });
}

void SelectionTab::setScreenSizeSource(std::function<QSize()> screenSize, std::function<QSize()> primarySize) {
  screenSize_ = std::move(screenSize);
  primarySize_ = std::move(primarySize);
}

QSize SelectionTab::screenSize() const {
  if (screenSize_) return screenSize_();
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->size() * screen->devicePixelRatio() : QSize();  // device pixels
}

void SelectionTab::loadFromSettings() {
  // Panel 0 is set by ShowSelectionInfo at start-up, whatever Aktiv says.
  const QSignalBlocker blocker(cbUseAuswahl_);
  cbUseAuswahl_->setChecked(ctx_.settings.Auswahl.Aktiv);
  const QSignalBlocker choiceBlocker(cbBildschirm_);
  const uint8_t choice = ctx_.settings.Bildschirm.Bereich;
  cbBildschirm_->setCurrentIndex(choice <= wsAlle ? choice : wsPrimaer);
  const QSignalBlocker pointerBlocker(cbMauszeiger_);
  cbMauszeiger_->setChecked(ctx_.settings.Bildschirm.Mauszeiger);
}

void SelectionTab::initWindowState() { ShowSelectionInfo(); }

void SelectionTab::lockForTimer(bool running) {
  btnAuswahl_->setEnabled(!running);
  setEnabled(!running);
}

void SelectionTab::cbUseAuswahlClick(bool ticked) {
  const QSize size = logic_.setUseAuswahl(ticked, screenSize());
  window_.SetStatusSize(size.width(), size.height());
}

void SelectionTab::cbBildschirmChange(int index) {
  ctx_.settings.Bildschirm.Bereich = uint8_t(std::clamp(index, int(wsPrimaer), int(wsAlle)));
  // Without a chosen area the size panel shows the whole screen, which just changed.
  if (!ctx_.settings.Auswahl.Aktiv) cbUseAuswahlClick(false);
}

void SelectionTab::selectionDone(const QImage& thumbnail, const ScreenRect& frozen) {
  cbUseAuswahl_->setChecked(true);  // runs the handler only if it was unticked
  ctx_.settings.Auswahl.Aktiv = true;
  ShowSelectionInfo();
  DrawSelectionPreview(thumbnail, frozen);
}

void SelectionTab::ShowSelectionInfo() {
  const SelectionInfoTexts t = logic_.ShowSelectionInfo();
  lblSizeX_->setText(t.sizeX);
  lblSizeY_->setText(t.sizeY);
  lblLinksObenH_->setText(t.linksObenH);
  lblLinksObenV_->setText(t.linksObenV);
  lblRechtsUntenH_->setText(t.rechtsUntenH);
  lblRechtsUntenV_->setText(t.rechtsUntenV);
  window_.SetStatusSize(t.width, t.height);
}

void SelectionTab::DrawSelectionPreview(const QImage& thumbnail, const ScreenRect& frozen) {
  // The thumbnail shows what the overlay froze: the primary monitor, or the area
  // given, against whose corner the selection then counts.
  SelectionSettings selection = ctx_.settings.Auswahl;
  QSize area = primarySize_ ? primarySize_() : screenSize();
  if (frozen.width() > 0 && frozen.height() > 0) {
    auto shift = [](int32_t& edge, int32_t by) {
      edge = int32_t(std::clamp<int64_t>(int64_t(edge) - by, INT32_MIN, INT32_MAX));
    };
    shift(selection.Sel_Left, frozen.Left);
    shift(selection.Sel_Right, frozen.Left);
    shift(selection.Sel_Top, frozen.Top);
    shift(selection.Sel_Bottom, frozen.Top);
    area = QSize(int(frozen.width()), int(frozen.height()));
  }
  const QImage preview = SelectionTabLogic::DrawSelectionPreview(thumbnail, selection, area);
  // Without a picture from the overlay the last preview is better than none.
  if (!preview.isNull()) imgPreView_->setPixmap(QPixmap::fromImage(preview));
}

}  // namespace lumora
