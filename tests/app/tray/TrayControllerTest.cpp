#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "Fakes.h"
#include "QtPrinters.h"
#include "app/tray/ShotQueue.h"
#include "app/tray/TrayController.h"

using namespace lumora;
using test::FakeHotkeys;

namespace {

class FakeHost : public TrayHost {
 public:
  void showOptionsWindow() override { log << "options"; }
  void selectRegion() override {
    log << "select";
    if (nested) nested();
  }
  bool makeScreenshot() override {
    log << "capture";
    if (nested) nested();
    return captureResult;
  }
  bool makeWindowScreenshot() override {
    log << "window";
    return captureResult;
  }
  bool lastCaptureSaved() const override { return captureSaved; }
  void showInfoPopup() override { log << "popup"; }
  bool runShortcutDialog() override {
    log << "dialog";
    if (dialogResult) letters->SC_Screen = 'X';
    return dialogResult;
  }
  void openTargetFolder() override { log << "folder"; }
  void uninstallAndQuit() override { log << "uninstall"; }
  void resetSettings() override { log << "reset"; }
  bool dialogOpen() const override { return boxOpen; }

  QStringList log;
  bool captureResult = true;
  bool captureSaved = true;
  bool dialogResult = true;
  ShortcutSettings* letters = nullptr;
  std::function<void()> nested;
  bool boxOpen = false;
};

struct Rig {
  Settings settings;
  FakeHotkeys hotkeys;
  FakeHost host;
  TrayController controller{settings, hotkeys, host};
  Rig() {
    host.letters = &settings.Shortcuts;
    controller.setReady();
  }
};

}  // namespace

TEST(TrayController, RegistersSelectionThenCaptureUnderTheirAtoms) {
  Rig rig;
  EXPECT_EQ(rig.controller.selectionId(), 301u);
  EXPECT_EQ(rig.controller.captureId(), 302u);
  rig.controller.RegisterHotkeys();
  EXPECT_EQ(rig.controller.windowId(), 303u);
  EXPECT_EQ(rig.hotkeys.log, (QStringList{"grab 301 A", "grab 302 S", "grab 303 W"}));

  EXPECT_TRUE(rig.controller.unavailableHotkeys().isEmpty());
  EXPECT_EQ(rig.controller.reachText(), QStringLiteral("Ctrl+Alt+S takes a screenshot, Ctrl+Alt+A chooses the capture "
                                                       "area, Ctrl+Alt+W takes the active window, \"lumora "
                                                       "--show\" opens the options window"));

  // A combination another program holds is skipped without a box; the other one
  // works, and the user is told which one is missing.
  Rig busy;
  busy.hotkeys.taken = QStringLiteral("S");
  QStringList told;
  busy.controller.onUnavailable = [&](const QStringList& held) { told = held; };
  busy.controller.RegisterHotkeys();
  EXPECT_EQ(busy.hotkeys.held.size(), 2u);
  EXPECT_EQ(busy.hotkeys.held[301], 'A');
  EXPECT_EQ(told, QStringList{"Ctrl+Alt+S"});
  EXPECT_EQ(busy.controller.reachText(),
            QStringLiteral("Ctrl+Alt+A chooses the capture area, Ctrl+Alt+W takes the active window, \"lumora "
                           "--show\" opens the options window"));
}

TEST(TrayController, WhereTheDesktopChoosesTheKeysOnlyWhatItBoundIsPromised) {
  struct Case {
    std::map<uint32_t, QString> bound;
    QString reach, hint;
  };
  const Case cases[] = {
      // The person chose other keys for two of them in the desktop's dialog.
      {{{302, "Ctrl+Shift+P"}, {301, "Meta+A"}},
       "Ctrl+Shift+P takes a screenshot, Meta+A chooses the capture area, \"lumora --show\" opens the options window",
       "Screenshot erstellen: Ctrl+Shift+P|Bereichsauswahl: Meta+A"},
      // KDE Plasma 5.27 binds none: the asked-for keys do nothing.
      {{},
       "the desktop has bound no keys for Lumora (yet): assign them in its keyboard settings, or bind keys to "
       "\"lumora --shot\", \"lumora --select\" and \"lumora --shot-window\", \"lumora --show\" opens the options "
       "window",
       "keine (in den Tastatureinstellungen des Desktops zuzuweisen)"},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.hotkeys.desktop = true;
    rig.hotkeys.bound = c.bound;
    rig.controller.RegisterHotkeys();
    EXPECT_EQ(rig.controller.reachText(), c.reach);
    EXPECT_EQ(rig.controller.desktopBindings().join('|'), c.hint);
  }
}

TEST(TrayController, HotkeysRunTheirCommandsAndThePopupFollowsOnlyUncancelledCaptures) {
  struct Case {
    const char* what;
    uint32_t id;
    bool captureResult;
    bool suppress;
    QStringList log;
  };
  const Case cases[] = {
      {"capture", 302, true, false, {"capture", "popup"}},
      {"capture suppressed", 302, true, true, {"capture"}},
      {"prompt cancelled", 302, false, false, {"capture"}},
      {"selection", 301, true, false, {"select"}},
      {"active window", 303, true, false, {"window", "popup"}},
      {"active window, prompt cancelled", 303, false, false, {"window"}},
      {"unknown id", 999, true, false, {}},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.host.captureResult = c.captureResult;
    if (c.suppress) rig.controller.toggleSuppressConfirmations();
    rig.controller.onHotkey(c.id);
    EXPECT_EQ(rig.host.log, c.log) << c.what;
  }

  Rig menu;
  menu.controller.onScreenshot();
  menu.controller.onWindowScreenshot();
  EXPECT_EQ(menu.host.log, (QStringList{"capture", "window"})) << "the menu never shows the popup";
}

TEST(TrayController, ASecondCaptureOrSelectionInsideARunningOneIsIgnored) {
  Rig rig;
  int inner = 0;
  rig.host.nested = [&] {
    rig.host.nested = nullptr;  // the inner attempts run once
    rig.controller.onHotkey(302);
    rig.controller.onHotkey(301);
    rig.controller.onScreenshot();
    rig.controller.onSelectRegion();
    ++inner;
  };
  rig.controller.onHotkey(302);
  EXPECT_EQ(inner, 1);
  EXPECT_EQ(rig.host.log, (QStringList{"capture", "popup"}));
  EXPECT_FALSE(rig.controller.busy());

  rig.controller.onSelectRegion();  // free again afterwards
  EXPECT_EQ(rig.host.log.last(), QStringLiteral("select"));
}

TEST(TrayController, EveryWayInIsRefusedBeforeStartUpAndWhileABoxIsOpen) {
  // Before start-up has finished (the first-run greeting is still open) the
  // windows a command drives may not exist yet; while a box is open a capture
  // would nest inside it. Nothing runs then, and the timer is told to wait.
  for (const bool beforeStart : {true, false}) {
    Settings settings;
    FakeHotkeys hotkeys;
    FakeHost host;
    TrayController controller{settings, hotkeys, host};
    if (!beforeStart) {
      controller.setReady();
      host.boxOpen = true;
    }
    controller.onHotkey(302);
    controller.onHotkey(301);
    controller.onScreenshot();
    controller.onSelectRegion();
    controller.onShortcuts();
    controller.onUninstall();
    controller.onResetSettings();
    EXPECT_FALSE(controller.onTimerCapture());
    if (beforeStart) {
      controller.onShowOptions();
      controller.onOpenTargetFolder();
    }
    EXPECT_TRUE(host.log.isEmpty()) << host.log.join(' ').toStdString();

    host.boxOpen = false;
    controller.setReady();
    EXPECT_TRUE(controller.onTimerCapture());
    EXPECT_EQ(host.log, (QStringList{"capture"})) << "the timer's capture never shows the popup";
  }

  // The timer waits while a selection runs, too.
  Rig rig;
  bool timerRan = true;
  rig.host.nested = [&] { timerRan = rig.controller.onTimerCapture(); };
  rig.controller.onSelectRegion();
  EXPECT_FALSE(timerRan);
}

TEST(TrayController, ConfirmedLettersReleaseTheOldCombinationsBeforeTakingTheNew) {
  Rig rig;
  rig.controller.RegisterHotkeys();
  rig.hotkeys.log.clear();
  rig.controller.onShortcuts();
  EXPECT_EQ(rig.hotkeys.log, (QStringList{"release 301", "release 302", "release 303", "grab 301 A", "grab 302 X",
                                         "grab 303 W"}));
  EXPECT_EQ(rig.hotkeys.held[302], 'X');

  rig.hotkeys.log.clear();
  rig.host.dialogResult = false;
  rig.controller.onShortcuts();
  EXPECT_TRUE(rig.hotkeys.log.isEmpty()) << "a cancelled dialog changes nothing";
}

TEST(TrayController, ShotsFromTheCommandLineWaitTheirTurnAndEachCallerHearsWhetherAPictureCame) {
  using Outcome = RunningInstance::Outcome;
  Rig rig;
  ShotQueue shots([&] { return rig.controller.onShotCommand(); }, std::chrono::milliseconds(1));
  std::vector<std::optional<Outcome>> heard(5);
  std::vector<bool> stillWaiting(5, true);
  auto reply = [&](size_t i) {
    return RunningInstance::Reply{[&heard, i](Outcome o) { heard[i] = o; }, [&stillWaiting, i] { return stillWaiting[i]; }};
  };

  // Two more arrive while the first capture runs, and the caller of one of them
  // gives up before its turn: it gets no picture, the other one does.
  bool arrived = false;
  rig.host.nested = [&] {
    if (std::exchange(arrived, true)) return;
    shots.add(reply(1));
    shots.add(reply(2));
    stillWaiting[2] = false;
  };
  shots.add(reply(0));
  EXPECT_EQ(rig.host.log, (QStringList{"capture", "popup", "capture", "popup"})) << "as the capture hotkey";
  EXPECT_EQ(heard[0], Outcome::Done);
  EXPECT_EQ(heard[1], Outcome::Done);
  EXPECT_EQ(heard[2], Outcome::Failed);

  // While a box is open the shot waits, as the interval timer does, and comes
  // once the box has gone; a capture that saved nothing is no success.
  rig.host.log.clear();
  rig.host.boxOpen = true;
  rig.host.captureSaved = false;
  shots.add(reply(3));
  QCoreApplication::processEvents();
  EXPECT_TRUE(rig.host.log.isEmpty());
  EXPECT_FALSE(heard[3]);
  rig.host.boxOpen = false;
  QElapsedTimer waited;
  waited.start();
  while (!heard[3] && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(heard[3], Outcome::Failed);

  // The queue has an end: the caller beyond it hears so at once.
  rig.host.boxOpen = true;
  int busy = 0;
  for (size_t i = 0; i <= ShotQueue::kMaxWaiting; ++i)
    shots.add({[&busy](Outcome o) { busy += o == Outcome::Busy; }, [] { return true; }});
  EXPECT_EQ(busy, 1);
  EXPECT_EQ(shots.waiting(), ShotQueue::kMaxWaiting);
}
