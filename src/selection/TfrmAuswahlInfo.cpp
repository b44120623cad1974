#include "selection/TfrmAuswahlInfo.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPixmap>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

namespace lumora {

namespace {
constexpr int kButtonWidth = 30;
constexpr int kButtonHeight = 24;
}  // namespace

TfrmAuswahlInfo::TfrmAuswahlInfo(QSize screen, QWidget* parent)
    // A tool window with a caption and a close box only: window managers that
    // draw minimise and maximise buttons for it leave no room for the title.
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      logic_(screen) {
  setWindowTitle(QStringLiteral("Toolbox"));
  // The keyboard stays with the overlay: a full-screen window that loses it is
  // put back below the panels (xfwm4). A click still gives the Toolbox the keys.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(kClientWidth, kClientHeight);
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);

  label(QStringLiteral("Mausposition:"), 6, 4, 98);
  lblMX_ = label(QStringLiteral("0"), 6, 20, 40, true);
  label(QStringLiteral("x"), 48, 20, 10);
  lblMY_ = label(QStringLiteral("0"), 60, 20, 44, true);
  label(QStringLiteral("Auswahlgröße:"), 6, 38, 98);
  lblGX_ = label(QStringLiteral("0"), 6, 54, 40, true);
  label(QStringLiteral("x"), 48, 54, 10);
  lblGY_ = label(QStringLiteral("0"), 60, 54, 44, true);

  Lupe_ = new QLabel(this);
  Lupe_->setGeometry(6, 74, MagnifierLogic::kLupeSize, MagnifierLogic::kLupeSize);
  Lupe_->setToolTip(QStringLiteral("Lupe"));

  const int zoomRow = 178, sizeRow = 206;
  zoom2_ = button(QStringLiteral("2x"), QStringLiteral("Zweifache Vergrößerung"), 6, zoomRow);
  Zoom3_ = button(QStringLiteral("4x"), QStringLiteral("Vierfache Vergrößerung"), 40, zoomRow);
  Zoom4_ = button(QStringLiteral("8x"), QStringLiteral("Achtfache Vergrößerung"), 74, zoomRow);
  SelNorm_ = button(QStringLiteral("Var"), QStringLiteral("Variable Auswahlgröße"), 6, sizeRow);
  SelFix_ = button(QStringLiteral("Fix"), QStringLiteral("Fixe Auswahlgröße"), 40, sizeRow);
  sbFolgeText_ = button(QStringLiteral("Abc"), QStringLiteral("Beschriftung in der Lupe berücksichtigen"), 74, sizeRow);

  zoomGroup_ = new QButtonGroup(this);
  zoomGroup_->addButton(zoom2_);
  zoomGroup_->addButton(Zoom3_);
  zoomGroup_->addButton(Zoom4_);
  sizeGroup_ = new QButtonGroup(this);
  sizeGroup_->addButton(SelNorm_);
  sizeGroup_->addButton(SelFix_);
  Zoom3_->setChecked(logic_.zoom() == MagnifierLogic::Zoom::X4);
  zoom2_->setChecked(logic_.zoom() == MagnifierLogic::Zoom::X2);
  Zoom4_->setChecked(logic_.zoom() == MagnifierLogic::Zoom::X8);
  SelNorm_->setChecked(logic_.IsVariableSize());
  SelFix_->setChecked(!logic_.IsVariableSize());
  sbFolgeText_->setChecked(logic_.IsCaptionCompensated());
  connect(zoom2_, &QToolButton::toggled, this, [this](bool on) { if (on) logic_.setZoom(MagnifierLogic::Zoom::X2); });
  connect(Zoom3_, &QToolButton::toggled, this, [this](bool on) { if (on) logic_.setZoom(MagnifierLogic::Zoom::X4); });
  connect(Zoom4_, &QToolButton::toggled, this, [this](bool on) { if (on) logic_.setZoom(MagnifierLogic::Zoom::X8); });
  connect(SelNorm_, &QToolButton::toggled, this, [this](bool on) { logic_.setVariableSize(on); });
  connect(sbFolgeText_, &QToolButton::toggled, this, [this](bool on) { logic_.setCaptionCompensated(on); });

  label(QStringLiteral("Size X:"), 6, 238, 42);
  label(QStringLiteral("Size Y:"), 6, 262, 42);
  seAX_ = new QSpinBox(this);
  seAX_->setGeometry(50, 234, 54, 22);
  seAX_->setToolTip(QStringLiteral("Horizontale Auswahlgröße"));
  seAX_->setRange(1, logic_.maxFixedWidth());
  seAX_->setValue(logic_.FixedSize().width());
  seAY_ = new QSpinBox(this);
  seAY_->setGeometry(50, 258, 54, 22);
  seAY_->setToolTip(QStringLiteral("Vertikale Auswahlgröße"));
  seAY_->setRange(1, logic_.maxFixedHeight());
  seAY_->setValue(logic_.FixedSize().height());
  connect(seAX_, &QSpinBox::valueChanged, this, [this](int v) { logic_.setFixedWidth(v); });
  connect(seAY_, &QSpinBox::valueChanged, this, [this](int v) { logic_.setFixedHeight(v); });

  logic_.onChanged = [this] { scheduleRefresh(); };
  move(15, 15);
}

void TfrmAuswahlInfo::setScreenSize(QSize screen) {
  logic_.setScreen(screen);
  const QSignalBlocker blockX(seAX_), blockY(seAY_);
  seAX_->setRange(1, logic_.maxFixedWidth());
  seAY_->setRange(1, logic_.maxFixedHeight());
  seAX_->setValue(logic_.FixedSize().width());
  seAY_->setValue(logic_.FixedSize().height());
}

QLabel* TfrmAuswahlInfo::label(const QString& text, int x, int y, int w, bool bold) {
  auto* l = new QLabel(text, this);
  l->setGeometry(x, y, w, 16);
  if (bold) {
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
  }
  return l;
}

QToolButton* TfrmAuswahlInfo::button(const QString& text, const QString& hint, int x, int y) {
  auto* b = new QToolButton(this);
  b->setText(text);
  b->setToolTip(hint);
  b->setCheckable(true);
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);
  b->setGeometry(x, y, kButtonWidth, kButtonHeight);
  return b;
}

// A pointer move changes the numbers and the view several times; the window
// shows them once, when the event is done.
void TfrmAuswahlInfo::scheduleRefresh() {
  if (refreshPending_) return;
  refreshPending_ = true;
  QTimer::singleShot(0, this, [this] { refresh(); });
}

void TfrmAuswahlInfo::refresh() {
  refreshPending_ = false;
  lblMX_->setText(QString::number(logic_.mouseX()));
  lblMY_->setText(QString::number(logic_.mouseY()));
  lblGX_->setText(QString::number(logic_.selectionWidth()));
  lblGY_->setText(QString::number(logic_.selectionHeight()));
  if (!logic_.Lupe().isNull()) Lupe_->setPixmap(QPixmap::fromImage(logic_.Lupe()));
}

}  // namespace lumora
