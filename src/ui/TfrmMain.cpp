#include "ui/TfrmMain.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "naming/NamingTexts.h"
#include "platform/DesktopWindows.h"
#include "ui/widgets/AppInfo.h"
#include "settings/Defaults.h"
#include "ui/widgets/ProgramFont.h"
#include "ui/CaptionTab.h"
#include "ui/widgets/ElidedLabel.h"
#include "ui/FileTab.h"
#include "ui/FileTabLogic.h"
#include "ui/FormatTab.h"
#include "ui/InfoTab.h"
#include "ui/SelectionTab.h"
#include "ui/StatusTexts.h"
#include "ui/TimerTab.h"

namespace lumora {

TfrmMain::TfrmMain(OptionsContext& context, Commands commands, QWidget* parent)
    // A tool window: the program never has a taskbar button, this window included.
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ctx_(context),
      commands_(std::move(commands)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QString::fromUtf8(kOptionsWindowTitle));
  setFixedSize(487, 338);
  // The layout was made for the program's small dialog font; desktop defaults
  // are larger and wider, and the six tabs would no longer fit side by side.
  setFont(ProgramFont());

  pgRegisterkarten_ = new QTabWidget(this);
  pgRegisterkarten_->setObjectName(QStringLiteral("pgRegisterkarten"));
  pgRegisterkarten_->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 2px; }"));
  fileTab_ = new FileTab(ctx_, *this);
  formatTab_ = new FormatTab(ctx_, *this);
  captionTab_ = new CaptionTab(ctx_, *this);
  selectionTab_ = new SelectionTab(ctx_, *this);
  timerTab_ = new TimerTab(ctx_, *this);
  infoTab_ = new InfoTab(ctx_, *this);
  const std::pair<OptionsPage*, const char*> tabs[] = {
      {fileTab_, "tsDatei"},    {formatTab_, "tsFormat"}, {captionTab_, "tsBeschriftung"},
      {selectionTab_, "tsAuswahl"}, {timerTab_, "tsTimer"},   {infoTab_, "tsHilfe"},
  };
  const char* captions[] = {" Dateiablage ", " Grafikformat ", " Beschriftung ",
                            " Bereichauswahl ", " Zeitsteuerung ", " Informationen "};
  for (size_t i = 0; i < 6; ++i) {
    tabs[i].first->setObjectName(QLatin1String(tabs[i].second));
    pgRegisterkarten_->addTab(tabs[i].first, QString::fromUtf8(captions[i]));
  }

  btnScreenSaver_ = new QPushButton(QStringLiteral("Screensaver Off"), this);
  btnScreenSaver_->setObjectName(QStringLiteral("btnScreenSaver"));
  btnScreenSaver_->setToolTip(QStringLiteral(
      "Schaltet den Screensaver ab, solagne das Programm ausgeführt wird (Screensaver Off) bzw. belässt es bei "
      "den Systemeinstellungen (Screensaver On)"));
  btnScreenshot_ = new QPushButton(this);
  btnScreenshot_->setObjectName(QStringLiteral("btnScreenshot"));
  btnScreenshot_->setFlat(true);
  btnScreenshot_->setFixedSize(291, 35);
  btnScreenshot_->setIcon(QIcon(QStringLiteral(":/lumora/button-screenshot.png")));
  btnScreenshot_->setIconSize(QSize(291, 35));
  btnScreenshot_->setToolTip(QStringLiteral("Erstellen eines Screenshots unter Berücksichtigung aller Einstellungen"));
  btnBeenden_ = new QPushButton(QStringLiteral("Minimieren"), this);
  btnBeenden_->setObjectName(QStringLiteral("btnBeenden"));
  btnBeenden_->setToolTip(QStringLiteral("Minimiert das Programm in die TNA"));
  connect(btnScreenshot_, &QPushButton::clicked, this, [this] { MakeScreenshot(); });
  connect(btnBeenden_, &QPushButton::clicked, this, &QWidget::close);
  connect(btnScreenSaver_, &QPushButton::clicked, this, [this] {
    if (commands_.toggleScreensaver) btnScreenSaver_->setText(commands_.toggleScreensaver());
  });

  sbInfo_ = new QStatusBar(this);
  sbInfo_->setObjectName(QStringLiteral("sbInfo"));
  sbInfo_->setSizeGripEnabled(false);
  sbInfo_->setToolTip(QStringLiteral("Auswahlgröße - Beschriftung - Dateiformat - Timer - Nächste Datei"));
  const char* designTexts[] = {"Auswahl", "Beschr.", "Format", "Timer", "FileName"};
  const int widths[] = {70, 40, 40, 80, 0};
  // The widest text each panel can get, so that no panel changes its width or
  // cuts its text while the program runs.
  const char* widest[] = {"88888 x 88888", "Mitte", ".jpeg", "Deaktiviert", ""};
  for (int i = 0; i < 4; ++i) {
    auto* panel = new QLabel(QLatin1String(designTexts[i]), sbInfo_);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    const int needed = panel->fontMetrics().horizontalAdvance(QLatin1String(widest[i])) + 2 * panel->frameWidth() + 6;
    panel->setMinimumWidth(std::max(widths[i], needed));
    sbInfo_->addWidget(panel);
    panels_[size_t(i)] = panel;
  }
  // The next file takes the rest and shortens a long path in its middle.
  auto* nextFile = new ElidedLabel(sbInfo_);
  nextFile->setText(QLatin1String(designTexts[4]));
  nextFile->setFrameShape(QFrame::Panel);
  nextFile->setFrameShadow(QFrame::Sunken);
  nextFile->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  sbInfo_->addWidget(nextFile, 1);
  panels_[4] = nextFile;

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(2);
  buttons->addWidget(btnScreenSaver_, 1);
  buttons->addWidget(btnScreenshot_);
  buttons->addWidget(btnBeenden_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 0);
  layout->setSpacing(2);
  layout->addWidget(pgRegisterkarten_, 1);
  layout->addLayout(buttons);
  layout->addWidget(sbInfo_);

  if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->geometry().center() - rect().center());
  selectionTab_->setScreenSizeSource(commands_.screenSize, commands_.primarySize);
  LoadSettingsIntoControls();
}

TfrmMain::~TfrmMain() = default;

std::array<OptionsPage*, 6> TfrmMain::allPages() const {
  return {fileTab_, formatTab_, captionTab_, selectionTab_, timerTab_, infoTab_};
}

void TfrmMain::LoadSettingsIntoControls() {
  // The settings themselves were loaded (or defaulted and stored) before the
  // window was made; here they reach the controls.
  ctx_.settings.Beschriftung.FontName = QStringLiteral("Arial");
  for (OptionsPage* page : allPages()) page->loadFromSettings();
  InitWindowState();
}

void TfrmMain::InitWindowState() {
  pgRegisterkarten_->setTabPosition(QTabWidget::North);
  pgRegisterkarten_->setCurrentIndex(0);
  ctx_.settings.Datei.Counter = 0;
  ctx_.naming.AdvanceFileName(ctx_.settings.Blank, timerRunning());
  for (OptionsPage* page : allPages()) page->initWindowState();
  // The timer's start-up step frees the locked controls; at start-up the naming
  // boxes still follow "Nummerierung deaktivieren" unless the timer runs.
  if (!timerRunning()) fileTab_->applyNumberingRule();
  SetStatusPosition();
  ShowNextFile();
  // At start a ticked clipboard box names the clipboard, even in same-file mode.
  fileTab_->showNextFile(FileTabLogic(ctx_).initialNextFileTexts());
}

void TfrmMain::ResetSettings(const QString& defaultFolder) {
  // The defaults make the primary monitor the whole screen again.
  const QSize screen = commands_.primarySize ? commands_.primarySize()
                       : commands_.screenSize ? commands_.screenSize()
                                              : QSize();
  SetDefaults(ctx_.settings, screen, defaultFolder);
  for (OptionsPage* page : allPages()) page->loadFromSettings();
  InitWindowState();
}

void TfrmMain::ShowNextFile() {
  const NextFileTexts texts = ShowNextFileTexts(ctx_.settings.Datei);
  fileTab_->showNextFile(texts);
  panels_[2]->setText(texts.formatPanel);
  static_cast<ElidedLabel*>(panels_[4])->setPath(texts.nextFilePanel);
}

void TfrmMain::SetStatusSize(int64_t width, int64_t height) { panels_[0]->setText(StatusSizeText(width, height)); }

void TfrmMain::SetStatusPosition() { panels_[1]->setText(StatusPositionText(ctx_.settings.Beschriftung.Position)); }

void TfrmMain::setStatusTimer(const QString& text) { panels_[3]->setText(text); }

QString TfrmMain::panelText(int panel) const { return panels_[size_t(panel)]->text(); }

void TfrmMain::SelectRegionCommand() {
  RegionSelector* selector = commands_.selector;
  if (!selector) return;
  const bool wasVisible = isVisible();
  if (wasVisible) hideKeepingPlace();  // not part of the frozen picture
  SelectionSettings& sel = ctx_.settings.Auswahl;
  const ScreenRect chosen = selector->SelectRegion(ctx_.settings.Beschriftung.Position, ctx_.settings.Beschriftung.FontSize,
                                                   {sel.Sel_Left, sel.Sel_Top, sel.Sel_Right, sel.Sel_Bottom});
  sel.Sel_Left = chosen.Left;
  sel.Sel_Top = chosen.Top;
  sel.Sel_Right = chosen.Right;
  sel.Sel_Bottom = chosen.Bottom;
  if (wasVisible) showInPlace();
  // Every outcome of the overlay, a discard too, makes captures use the rectangle.
  sel.Aktiv = true;
  selectionTab_->selectionDone(selector->Thumbnail(), selector->frozenRect());
}

void TfrmMain::hideKeepingPlace() {
  hadKeyboard_ = isActiveWindow();
  putBack_ = nullptr;
  if (commands_.windows && windowHandle()) putBack_ = commands_.windows->keepPlace(*windowHandle());
  hide();
}

void TfrmMain::showInPlace() {
  // A window mapped again is new to the window manager, which would give it the
  // keyboard and put it on top.
  // Qt reads the attribute only when it makes the window; its window carries it
  // from then on.
  auto withoutKeyboard = [this](bool on) {
    setAttribute(Qt::WA_ShowWithoutActivating, on);
    if (QWindow* w = windowHandle()) w->setProperty("_q_showWithoutActivating", on);
  };
  withoutKeyboard(!hadKeyboard_);
  show();
  withoutKeyboard(false);
  if (hadKeyboard_) activateWindow();
  // Once the window manager has taken the window in again.
  if (putBack_) QTimer::singleShot(100, this, [putBack = std::move(putBack_)] { putBack(); });
  putBack_ = nullptr;
}

void TfrmMain::openTargetFolder() {
  if (commands_.openTargetFolder) commands_.openTargetFolder();
}

bool TfrmMain::timerRunning() const { return timerTab_->running(); }

void TfrmMain::LockForTimer() {
  const bool running = timerRunning();
  btnScreenshot_->setEnabled(!running);
  for (OptionsPage* page : allPages()) page->lockForTimer(running);
}

bool TfrmMain::MakeScreenshot() { return commands_.makeScreenshot ? commands_.makeScreenshot() : true; }

bool TfrmMain::timerCapture() {
  if (commands_.timerCapture) return commands_.timerCapture();
  MakeScreenshot();
  return true;
}

void TfrmMain::selectRegionButton() {
  if (commands_.requestSelectRegion)
    commands_.requestSelectRegion();
  else
    SelectRegionCommand();
}

void TfrmMain::showLastPicture(const QImage& thumbnail) { fileTab_->showLastPicture(thumbnail); }

void TfrmMain::showLastFile(const QString& target) {
  fileTab_->showLastFile(ShowLastFileTexts(target, ctx_.clock));
}

}  // namespace lumora
