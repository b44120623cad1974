#include "app/TrayApp.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>
#include <thread>
#include <xcb/xcb.h>

#include "app/TShortcut.h"
#include "app/TfrmInfo.h"
#include "app/TfrmWelcome.h"
#include "naming/TfrmEingabe.h"
#include "platform/ErrorReport.h"
#include "selection/TfrmAuswahl.h"
#include "selection/TfrmAuswahlInfo.h"
#include "settings/Defaults.h"
#include "settings/SettingsStartup.h"

namespace lumora {

namespace {

xcb_connection_t* guiConnection() {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

QRect primaryGeometry() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect();
}

}  // namespace

TrayApp::TrayApp(Settings& settings, const QString& programFolder) : s_(settings) {
  // The letters before any window exists, so that the hotkeys use them.
  registry_ = MachineRegistry();
  store_ = std::make_unique<RegistryOp>(*registry_, dialogs_);
  InitShortcuts(*store_, s_.Shortcuts);

  screen_ = std::make_unique<XcbScreen>(primaryGeometry());
  // Before the grab, whatever the program just hid must have left the screen:
  // our own requests go out first, then the usual wait.
  grab_ = std::make_unique<ScreenGrab>(*screen_, dialogs_, ScreenGrab::kDefaultDelay, [](std::chrono::milliseconds ms) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (xcb_connection_t* c = guiConnection()) xcb_flush(c);
    std::this_thread::sleep_for(ms);
  });
  naming_ = std::make_unique<FileNaming>(s_, dialogs_);
  saver_ = std::make_unique<ImageSaver>(dialogs_, clipboard_, clock_);
  hotkeys_ = std::make_unique<XcbHotkeys>(guiConnection());
  controller_ = std::make_unique<TrayController>(s_, *hotkeys_, *this);
  hotkeys_->onPressed = [this](uint32_t id) { runGuarded(dialogs_, [&] { controller_->onHotkey(id); }); };

  // The windows, each once, in their fixed order.
  frmWelcome_ = std::make_unique<TfrmWelcome>(*controller_, [this] { exitSequence(); });
  controller_->RegisterHotkeys();
  // Loading the settings may greet a first run or report a damaged store: that
  // happens now, before the splash.
  LoadSettingsAtStart(*store_, dialogs_, s_, screen_->size(), DefaultFolder(programFolder));
  s_.Datei.Counter = 0;
  naming_->AdvanceFileName(s_.Blank, false);
  frmAuswahl_ = std::make_unique<TfrmAuswahl>(*grab_, dialogs_);
  frmAuswahlInfo_ = std::make_unique<TfrmAuswahlInfo>(screen_->size(), frmAuswahl_.get());
  frmAuswahl_->attachMagnifier(*frmAuswahlInfo_);
  frmEingabe_ = std::make_unique<TfrmEingabe>(s_, dialogs_);
  frmInfo_ = std::make_unique<TfrmInfo>();
  shortcut_ = std::make_unique<TShortcut>(s_.Shortcuts, dialogs_,
                                          [this](char screen, char auswahl) {
                                            return store_->SaveShortcuts(screen, auswahl);
                                          });
  driver_ = std::make_unique<CaptureDriver>(s_, dialogs_, *grab_, *naming_, *saver_, *this, frmEingabe_.get());
}

TrayApp::~TrayApp() = default;

void TrayApp::start() { frmWelcome_->show(); }

void TrayApp::exitSequence() {
  runGuarded(dialogs_, [this] { SaveSettingsAtExit(*store_, dialogs_, s_, uninstalled_); });
  frmWelcome_->RemoveTrayIcon();
  controller_->UnregisterHotkeys();
}

void TrayApp::showOptionsWindow() {}

void TrayApp::selectRegion() {
  runGuarded(dialogs_, [this] {
    // The options window must not be part of the frozen picture.
    const bool wasShowing = isShowing();
    if (wasShowing) hideForCapture();
    SelectionSettings& sel = s_.Auswahl;
    const ScreenRect r = frmAuswahl_->SelectRegion(s_.Beschriftung.Position, s_.Beschriftung.FontSize,
                                                   {sel.Sel_Left, sel.Sel_Top, sel.Sel_Right, sel.Sel_Bottom});
    sel.Sel_Left = r.Left;
    sel.Sel_Top = r.Top;
    sel.Sel_Right = r.Right;
    sel.Sel_Bottom = r.Bottom;
    if (wasShowing) showAfterCapture();
    // Every outcome, a discard included, turns the selection on.
    sel.Aktiv = true;
    showSelectionResult();
  });
}

bool TrayApp::makeScreenshot() {
  bool result = true;
  // An error that ends the capture is reported here; no popup follows it.
  if (!runGuarded(dialogs_, [&] { result = driver_->MakeScreenshot(); })) return false;
  return result;
}

void TrayApp::showInfoPopup() { frmInfo_->showPopup(); }

bool TrayApp::runShortcutDialog() { return shortcut_->exec() == QDialog::Accepted; }

void TrayApp::openTargetFolder() {
  // Nothing is reported when the folder is missing or no file manager answers.
  QDesktopServices::openUrl(QUrl::fromLocalFile(s_.Datei.FileDir));
}

void TrayApp::uninstallAndQuit() {}

void TrayApp::resetSettings() {}

}  // namespace lumora
