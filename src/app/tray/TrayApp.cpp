#include "app/tray/TrayApp.h"

#include <QCoreApplication>
#include <cstdio>
#include <thread>

#include "app/cli/Leftovers.h"
#include "app/tray/SessionStartItem.h"
#include "app/tray/SystemActions.h"
#include "app/tray/TShortcut.h"
#include "app/tray/TfrmInfo.h"
#include "app/tray/TfrmWelcome.h"
#include "capture/CaptureDriver.h"
#include "naming/TfrmEingabe.h"
#include "platform/ErrorReport.h"
#include "platform/fs/RuntimeFolder.h"
#include "selection/TfrmAuswahl.h"
#include "selection/TfrmAuswahlInfo.h"
#include "settings/Defaults.h"
#include "settings/SettingsStartup.h"
#include "settings/store/RegFileRegistry.h"
#include "ui/TfrmMain.h"

namespace lumora {

TrayApp::TrayApp(Settings& settings, const ProgramPlace& program, const Desktop& desktop)
    : s_(settings),
      program_(program),
      registry_(MachineRegistry()),
      store_(*registry_, dialogs_),
      desktop_(desktop.trayServices()),
      // Before the grab, whatever the program just hid must have left the screen:
      // our own requests go out first, then the usual wait.
      grab_(*desktop_.screen, dialogs_, ScreenGrab::kDefaultDelay,
            [this](std::chrono::milliseconds ms) {
              QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
              desktop_.windows->flush();
              std::this_thread::sleep_for(ms);
            }),
      naming_(s_, dialogs_),
      saver_(dialogs_, clipboard_, clock_, desktop.options().unnamedFiles),
      autosave_([this] { return StoredImage(s_); }, [this] { return store_.SaveSettings(s_); }),
      lastSave_([this] {
        if (started_) autosave_.flush();
      }),
      commands_(s_, dialogs_, autosave_, parts_),
      exit_(dialogs_, autosave_, clipboard_,
            {[this] { SaveSettingsAtExit(store_, dialogs_, s_, parts_.actions->uninstalled()); },
             [this] { parts_.frmWelcome->RemoveTrayIcon(); }, [this] { parts_.controller->UnregisterHotkeys(); },
             [this] { parts_.frmWelcome->close(); }}),
      autostart_(ConfigHome(), QCoreApplication::applicationFilePath()),
      shots_([this] { return parts_.controller->onShotCommand(); }),
      windowShots_([this] { return parts_.controller->onShotCommand(true); }) {
  // The desktop may be asking the person before the first capture; the program
  // goes on answering meanwhile, and its terminal hears why it waits.
  desktop_.screen->onWaiting = [](const QString& what) {
    std::fprintf(stderr, "lumora: %s\n", what.toLocal8Bit().constData());
  };
  // No window of the program, a start-up message included, ever gets a taskbar button.
  desktop_.windows->keepOffTaskbar(*QCoreApplication::instance());
  // The letters before any window exists, so that the hotkeys use them.
  InitShortcuts(store_, s_.Shortcuts);
  grab_.followChoice(s_.Bildschirm);
  TrayParts& p = parts_;
  p.windows = desktop_.windows.get();
  p.controller = std::make_unique<TrayController>(s_, *desktop_.hotkeys, commands_);
  desktop_.hotkeys->onPressed = [this](uint32_t id) { runGuarded(dialogs_, [&] { parts_.controller->onHotkey(id); }); };
  desktop_.hotkeys->onBound = [this] { commands_.hotkeysBound(); };

  // The windows, each once, in their fixed order.
  p.frmWelcome = std::make_unique<TfrmWelcome>(*p.controller, [this] { exit_.run(); }, desktop_.tray.get());
  p.controller->onUnavailable = [this](const QStringList& held) { commands_.hotkeysUnavailable(held); };
  p.controller->RegisterHotkeys();
  // Loading the settings may greet a first run or report a damaged store: that
  // happens now, before the splash.
  LoadSettingsAtStart(store_, dialogs_, s_, desktop_.screen->size(), DefaultFolder(program_));
  SweepLeftovers(s_, RegFileRegistry::DefaultPath());
  context_ = std::make_unique<OptionsContext>(
      OptionsContext{s_, dialogs_, clock_, naming_, desktop.options().timerTickMs});
  p.frmAuswahl = std::make_unique<TfrmAuswahl>(grab_, dialogs_);
  TfrmMain::Commands commands;
  commands.makeScreenshot = [this] {
    parts_.controller->onScreenshot();
    return true;
  };
  commands.timerCapture = [this] { return parts_.controller->onTimerCapture(); };
  commands.requestSelectRegion = [this] { parts_.controller->onSelectRegion(); };
  commands.selector = p.frmAuswahl.get();
  commands.openTargetFolder = [this] { commands_.openTargetFolder(); };
  commands.toggleScreensaver = [this] { return parts_.actions->ToggleScreensaver(); };
  commands.screenSize = [this] {
    const ScreenRect whole = grab_.wholeScreen();
    return QSize(int(whole.width()), int(whole.height()));
  };
  commands.primarySize = [this] { return desktop_.screen->size(); };
  commands.windows = desktop_.windows.get();
  p.frmMain = std::make_unique<TfrmMain>(*context_, std::move(commands));
  p.frmAuswahl->setPlacement(desktop_.windows->placesWindows() ? TfrmAuswahl::Placement::FullScreen
                                                                : TfrmAuswahl::Placement::Self);
  p.frmAuswahlInfo = std::make_unique<TfrmAuswahlInfo>(desktop_.screen->size(), p.frmAuswahl.get());
  p.frmAuswahl->attachMagnifier(*p.frmAuswahlInfo);
  p.frmAuswahl->setWindowSource([windows = desktop_.windows.get()] { return windows->windowFrames(); });
  commands_.setActiveWindow([windows = desktop_.windows.get()] { return windows->activeWindowFrame(); });
  p.frmEingabe = std::make_unique<TfrmEingabe>(s_, dialogs_);
  p.frmInfo = std::make_unique<TfrmInfo>();
  p.frmInfo->setNotice(desktop_.notice.get());
  p.shortcut = std::make_unique<TShortcut>(s_.Shortcuts, dialogs_, [this](char screen, char auswahl, char window) {
    return store_.SaveShortcuts(screen, auswahl, window);
  });
  p.driver = std::make_unique<CaptureDriver>(s_, dialogs_, grab_, naming_, saver_, *p.frmMain, p.frmEingabe.get());

  SystemActions::Hooks hooks;
  hooks.closeOptionsWindow = [this] { parts_.frmMain->close(); };
  hooks.closeTrayWindow = [this] { parts_.frmWelcome->close(); };
  hooks.resetSettings = [this] { parts_.frmMain->ResetSettings(DefaultFolder(program_)); };
  p.actions = std::make_unique<SystemActions>(dialogs_, store_, *desktop_.screensaver, std::move(hooks));

  AddSessionStartItem(*p.frmWelcome->pmOptionen(), autostart_, dialogs_);
}

TrayApp::~TrayApp() { qApp->removeEventFilter(&autosave_); }

void TrayApp::start() {
  // Every window exists now: commands may run, and changes are saved as they come.
  parts_.controller->setReady();
  autosave_.markStored();
  started_ = true;
  qApp->installEventFilter(&autosave_);
  parts_.frmWelcome->show();
}

RunningInstance::Action TrayApp::command(const QByteArray& verb) {
  // The same ways in as the tray menu and the hotkeys, through the same guard.
  // The caller hears first, except for a screenshot, which it hears of once the
  // picture is saved.
  using Reply = RunningInstance::Reply;
  TrayController& c = *parts_.controller;
  auto answered = [](std::function<void()> run) {
    return [run = std::move(run)](const Reply& reply) {
      reply.done(RunningInstance::Outcome::Done);
      run();
    };
  };
  if (verb == "show") return answered([&c] { c.onShowOptions(); });
  // The selection cannot wait its turn as a screenshot does: while another
  // capture, the selection or a box is open, the caller hears that it was not taken.
  if (verb == "select")
    return [&c](const Reply& reply) {
      if (c.busy()) return reply.done(RunningInstance::Outcome::Busy);
      reply.done(RunningInstance::Outcome::Done);
      c.onSelectRegion();
    };
  if (verb == "shot") return [this](const Reply& reply) { shots_.add(reply); };
  if (verb == "shot-window") return [this](const Reply& reply) { windowShots_.add(reply); };
  if (verb == "quit") return answered([this] { quit(); });
  return {};
}

}  // namespace lumora
