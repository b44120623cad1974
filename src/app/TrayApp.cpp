#include "app/TrayApp.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>
#include <thread>
#include <xcb/xcb.h>

#include <QPushButton>

#include "app/SystemActions.h"
#include "app/TShortcut.h"
#include "app/TfrmInfo.h"
#include "app/TfrmWelcome.h"
#include "naming/TfrmEingabe.h"
#include "platform/BackgroundClipboard.h"
#include "platform/ErrorReport.h"
#include "selection/TfrmAuswahl.h"
#include "selection/TfrmAuswahlInfo.h"
#include "settings/Defaults.h"
#include "settings/SettingsStartup.h"
#include "ui/TfrmMain.h"
#include "platform/XcbScreensaver.h"

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

TrayApp::TrayApp(Settings& settings, const QString& programFolder)
    : s_(settings), programFolder_(programFolder) {
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
  LoadSettingsAtStart(*store_, dialogs_, s_, screen_->size(), DefaultFolder(programFolder_));
  context_ = std::make_unique<OptionsContext>(OptionsContext{s_, dialogs_, clock_, *naming_});
  TfrmMain::Commands commands;
  commands.makeScreenshot = [this] {
    controller_->onScreenshot();
    return true;
  };
  commands.selectRegion = [this](const SelectionSettings& sel) {
    const ScreenRect r = frmAuswahl_->SelectRegion(s_.Beschriftung.Position, s_.Beschriftung.FontSize,
                                                   {sel.Sel_Left, sel.Sel_Top, sel.Sel_Right, sel.Sel_Bottom});
    SelectionSettings chosen = sel;
    chosen.Sel_Left = r.Left;
    chosen.Sel_Top = r.Top;
    chosen.Sel_Right = r.Right;
    chosen.Sel_Bottom = r.Bottom;
    return chosen;
  };
  commands.thumbnail = [this]() -> const QImage& { return grab_->Thumbnail(); };
  commands.openTargetFolder = [this] { openTargetFolder(); };
  commands.toggleScreensaver = [this](QPushButton* button) { button->setText(actions_->ToggleScreensaver()); };
  commands.screenSize = [this] { return screen_->size(); };
  frmMain_ = std::make_unique<TfrmMain>(*context_, std::move(commands));
  frmAuswahl_ = std::make_unique<TfrmAuswahl>(*grab_, dialogs_);
  frmAuswahlInfo_ = std::make_unique<TfrmAuswahlInfo>(screen_->size(), frmAuswahl_.get());
  frmAuswahl_->attachMagnifier(*frmAuswahlInfo_);
  frmEingabe_ = std::make_unique<TfrmEingabe>(s_, dialogs_);
  frmInfo_ = std::make_unique<TfrmInfo>();
  shortcut_ = std::make_unique<TShortcut>(s_.Shortcuts, dialogs_,
                                          [this](char screen, char auswahl) {
                                            return store_->SaveShortcuts(screen, auswahl);
                                          });
  driver_ = std::make_unique<CaptureDriver>(s_, dialogs_, *grab_, *naming_, *saver_, *frmMain_, frmEingabe_.get());

  screensaver_ = std::make_unique<XcbScreensaver>(guiConnection());
  SystemActions::Hooks hooks;
  hooks.closeOptionsWindow = [this] { frmMain_->close(); };
  hooks.closeTrayWindow = [this] { frmWelcome_->close(); };
  hooks.resetSettings = [this] { frmMain_->ResetSettings(DefaultFolder(programFolder_)); };
  actions_ = std::make_unique<SystemActions>(dialogs_, *store_, *screensaver_, std::move(hooks));
}

TrayApp::~TrayApp() = default;

void TrayApp::start() { frmWelcome_->show(); }

void TrayApp::quit() { frmWelcome_->close(); }

void TrayApp::exitSequence() {
  runGuarded(dialogs_, [this] { SaveSettingsAtExit(*store_, dialogs_, s_, actions_->uninstalled()); });
  frmWelcome_->RemoveTrayIcon();
  controller_->UnregisterHotkeys();
  // A picture on the clipboard outlives the program: a holder of its own takes
  // it over, and hands it to a clipboard manager when one runs.
  runGuarded(dialogs_, [this] {
    BackgroundClipboard holder;
    clipboard_.passOn(holder);
  });
}

void TrayApp::showOptionsWindow() {
  frmMain_->show();
  frmMain_->raise();
  frmMain_->activateWindow();
}

void TrayApp::selectRegion() {
  runGuarded(dialogs_, [this] { frmMain_->SelectRegionCommand(); });
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

void TrayApp::uninstallAndQuit() {
  runGuarded(dialogs_, [this] { actions_->UninstallAndQuit(); });
}

void TrayApp::resetSettings() {
  runGuarded(dialogs_, [this] { actions_->ResetSettings(); });
}

}  // namespace lumora
