#include "app/tray/TrayApp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>
#include <cstdio>
#include <thread>
#include <xcb/xcb.h>

#include <QPushButton>

#include "app/tray/SettingsAutosave.h"
#include "platform/fs/Autostart.h"
#include "app/tray/SessionStartItem.h"
#include "app/tray/SystemActions.h"
#include "app/tray/TShortcut.h"
#include "app/tray/TfrmInfo.h"
#include "app/tray/TfrmWelcome.h"
#include "naming/TfrmEingabe.h"
#include "platform/clipboard/BackgroundClipboard.h"
#include "platform/ErrorReport.h"
#include "platform/fs/RuntimeFolder.h"
#include "selection/TfrmAuswahl.h"
#include "selection/TfrmAuswahlInfo.h"
#include "settings/Defaults.h"
#include "settings/SettingsStartup.h"
#include "platform/x11/XcbSkipTaskbar.h"
#include "ui/TfrmMain.h"

namespace lumora {

TrayApp::TrayApp(Settings& settings, const QString& programFolder, Backend backend)
    : s_(settings), programFolder_(programFolder), backend_(backend) {
  // First of all, so that no window of the program, a start-up message included,
  // ever gets a taskbar button.
  skipTaskbar_ = std::make_unique<XcbSkipTaskbar>(GuiConnection());
  QCoreApplication::instance()->installEventFilter(skipTaskbar_.get());
  // The letters before any window exists, so that the hotkeys use them.
  registry_ = MachineRegistry();
  store_ = std::make_unique<RegistryOp>(*registry_, dialogs_);
  InitShortcuts(*store_, s_.Shortcuts);

  DesktopServices desktop = MakeDesktopServices(backend_);
  screen_ = std::move(desktop.screen);
  // Before the grab, whatever the program just hid must have left the screen:
  // our own requests go out first, then the usual wait.
  grab_ = std::make_unique<ScreenGrab>(*screen_, dialogs_, ScreenGrab::kDefaultDelay, [](std::chrono::milliseconds ms) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (xcb_connection_t* c = GuiConnection()) xcb_flush(c);
    std::this_thread::sleep_for(ms);
  });
  naming_ = std::make_unique<FileNaming>(s_, dialogs_);
  saver_ = std::make_unique<ImageSaver>(dialogs_, clipboard_, clock_);
  hotkeys_ = std::move(desktop.hotkeys);
  controller_ = std::make_unique<TrayController>(s_, *hotkeys_, *this);
  hotkeys_->onPressed = [this](uint32_t id) { runGuarded(dialogs_, [&] { controller_->onHotkey(id); }); };

  // The windows, each once, in their fixed order.
  frmWelcome_ = std::make_unique<TfrmWelcome>(*controller_, [this] { exitSequence(); });
  // A combination another program holds costs the user the hotkey: said once on
  // standard error, and shown in the shortcut dialog while it is open.
  controller_->onUnavailable = [this](const QStringList& held) {
    for (const QString& combination : held) {
      if (toldUnavailable_.contains(combination)) continue;
      toldUnavailable_.insert(combination);
      std::fprintf(stderr,
                   "lumora: %s is held by another program, so Lumora cannot use it; choose other letters "
                   "(Optionen > Shortcuts personalisieren...) or bind \"lumora --shot\" / \"lumora --select\" in "
                   "your desktop's keyboard settings\n",
                   combination.toUtf8().constData());
    }
    if (shortcut_) shortcut_->setUnavailable(held);
  };
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
  commands.timerCapture = [this] { return controller_->onTimerCapture(); };
  commands.requestSelectRegion = [this] { controller_->onSelectRegion(); };
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
  // On X11 the overlay places itself on the primary monitor; a Wayland compositor
  // places windows itself and is asked for a full-screen one.
  if (backend_ == Backend::Wayland)
    frmAuswahl_->setPlacement([](QWidget& overlay, QSize) { PlaceOverlayFullScreen(overlay); });
  frmAuswahlInfo_ = std::make_unique<TfrmAuswahlInfo>(screen_->size(), frmAuswahl_.get());
  frmAuswahl_->attachMagnifier(*frmAuswahlInfo_);
  frmEingabe_ = std::make_unique<TfrmEingabe>(s_, dialogs_);
  frmInfo_ = std::make_unique<TfrmInfo>();
  shortcut_ = std::make_unique<TShortcut>(s_.Shortcuts, dialogs_,
                                          [this](char screen, char auswahl) {
                                            return store_->SaveShortcuts(screen, auswahl);
                                          });
  driver_ = std::make_unique<CaptureDriver>(s_, dialogs_, *grab_, *naming_, *saver_, *frmMain_, frmEingabe_.get());

  screensaver_ = std::move(desktop.screensaver);
  SystemActions::Hooks hooks;
  hooks.closeOptionsWindow = [this] { frmMain_->close(); };
  hooks.closeTrayWindow = [this] { frmWelcome_->close(); };
  hooks.resetSettings = [this] { frmMain_->ResetSettings(DefaultFolder(programFolder_)); };
  actions_ = std::make_unique<SystemActions>(dialogs_, *store_, *screensaver_, std::move(hooks));

  autostart_ = std::make_unique<Autostart>(ConfigHome(), QCoreApplication::applicationFilePath());
  AddSessionStartItem(*frmWelcome_->pmOptionen(), *autostart_, dialogs_);
}

TrayApp::~TrayApp() {
  if (autosave_) qApp->removeEventFilter(autosave_.get());
}

void TrayApp::start() {
  // Every window exists now: commands may run, and changes are saved as they come.
  controller_->setReady();
  autosave_ = std::make_unique<SettingsAutosave>([this] { return StoredImage(s_); },
                                                 [this] { return store_->SaveSettings(s_); });
  qApp->installEventFilter(autosave_.get());
  frmWelcome_->show();
}

void TrayApp::quit() {
  dialogs_.setQuitting(true);
  closeModalDialogs();
  frmWelcome_->close();
}

std::function<void()> TrayApp::command(const QByteArray& verb) {
  // The same ways in as the tray menu and the hotkeys, through the same guard.
  if (verb == "show") return [this] { controller_->onShowOptions(); };
  if (verb == "select") return [this] { controller_->onSelectRegion(); };
  if (verb == "shot") return [this] { controller_->onHotkey(controller_->captureId()); };
  if (verb == "quit") return [this] { quit(); };
  return {};
}

void TrayApp::closeModalDialogs() {
  // Innermost first; each one's own loop ends when control gets back to it.
  for (int guard = 0; guard < 16; ++guard) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) break;
    modal->close();
    if (modal->isVisible()) modal->hide();
  }
}

bool TrayApp::dialogOpen() const { return QApplication::activeModalWidget() != nullptr; }

void TrayApp::exitSequence() {
  if (autosave_) autosave_->hold(true);
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
  if (autosave_) autosave_->poke();  // the new rectangle
}

bool TrayApp::makeScreenshot() {
  bool result = true;
  // An error that ends the capture is reported here; no popup follows it.
  const bool ok = runGuarded(dialogs_, [&] { result = driver_->MakeScreenshot(); });
  if (autosave_) autosave_->poke();  // a capture can lengthen the prefix
  return ok && result;
}

void TrayApp::showInfoPopup() { frmInfo_->showPopup(); }

bool TrayApp::runShortcutDialog() {
  shortcut_->setUnavailable(controller_->unavailableHotkeys());
  return shortcut_->exec() == QDialog::Accepted;
}

void TrayApp::openTargetFolder() {
  // Nothing is reported when the folder is missing or no file manager answers.
  QDesktopServices::openUrl(QUrl::fromLocalFile(s_.Datei.FileDir));
}

void TrayApp::uninstallAndQuit() {
  // Nothing is written behind the deletion; the settings are gone for good.
  if (autosave_) autosave_->hold(true);
  runGuarded(dialogs_, [this] { actions_->UninstallAndQuit(); });
  if (autosave_ && !actions_->uninstalled()) autosave_->hold(false);
}

void TrayApp::resetSettings() {
  // The defaults reach the store at exit or with the next change, as a first
  // run's do; until then the store stays deleted.
  if (autosave_) autosave_->hold(true);
  runGuarded(dialogs_, [this] { actions_->ResetSettings(); });
  if (autosave_) {
    autosave_->markStored();
    autosave_->hold(false);
  }
}

}  // namespace lumora
