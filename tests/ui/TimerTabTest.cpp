#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QPushButton>
#include <QTest>

#include "FakeDialogs.h"
#include "FakeOptionsWindow.h"
#include "Fakes.h"
#include "ui/TimerTab.h"

using namespace lumora;

namespace {

struct Rig {
  Settings settings;
  test::FakeDialogs dialogs;
  test::FixedClock clock;
  FileNaming naming{settings, dialogs};
  OptionsContext ctx{settings, dialogs, clock, naming};
  test::FakeOptionsWindow window;
  TimerTab tab{ctx, window};
  Rig() {
    window.running = [this] { return tab.running(); };
    window.lock = [this] { tab.lockForTimer(tab.running()); };
  }
  TimerSpin* spin(const char* name) { return tab.findChild<TimerSpin*>(QLatin1String(name)); }
  QPushButton* button(const char* name) { return tab.findChild<QPushButton*>(QLatin1String(name)); }
};

}  // namespace

TEST(TimerTab, FieldsKeepTheirBoundsPresetsSetThemAndStoredValuesShowAsStored) {
  Rig rig;
  struct Preset {
    const char* button;
    int h, m, s;
  };
  const Preset presets[] = {{"btn24Hour", 24, 0, 0},   {"btn60Minutes", 1, 0, 0}, {"btn45Minutes", 0, 45, 0},
                            {"btn30Minutes", 0, 30, 0}, {"btn15Minutes", 0, 15, 0}, {"btn60Seconds", 0, 1, 0},
                            {"btn10Seconds", 0, 0, 10}, {"btnResetTimer", 0, 0, 0}};
  for (const Preset& p : presets) {
    rig.button(p.button)->click();
    EXPECT_EQ((std::array{rig.settings.Timer.ValHour, rig.settings.Timer.ValMin, rig.settings.Timer.ValSec}),
              (std::array{p.h, p.m, p.s}))
        << p.button;
  }

  // The arrows stop at the runtime bounds.
  rig.tab.SetTimerFields(24, 59, 59);
  rig.spin("seHour")->stepBy(1);
  rig.spin("seMinute")->stepBy(5);
  EXPECT_EQ(rig.settings.Timer.ValHour, 24);
  EXPECT_EQ(rig.settings.Timer.ValMin, 59);
  rig.tab.SetTimerFields(99, 99, 99);
  EXPECT_EQ((std::array{rig.settings.Timer.ValHour, rig.settings.Timer.ValMin, rig.settings.Timer.ValSec}),
            (std::array{24, 59, 59}));

  // Stored values beyond them show and count as stored, up to 99 and 60.
  for (auto [stored, shown] : {std::pair{25, 25}, std::pair{99, 99}, std::pair{150, 99}}) {
    rig.settings.Timer = {stored, 60, 75, false, false};
    rig.tab.loadFromSettings();
    EXPECT_EQ(rig.spin("seHour")->value(), shown);
    EXPECT_EQ(rig.spin("seMinute")->value(), 60);
    EXPECT_EQ(rig.spin("seSecond")->value(), 60);
  }
  // Editing and leaving such a field pulls it into the runtime bounds.
  rig.tab.show();
  rig.spin("seHour")->setFocus();
  Q_EMIT rig.spin("seHour")->editingFinished();
  EXPECT_EQ(rig.settings.Timer.ValHour, 24);
}

TEST(TimerTab, AnyTextMayBeTypedAndCountsWhenTheFieldIsLeft) {
  Rig rig;
  struct Case {
    const char* field;
    const char* typed;
    int value;
  };
  const Case cases[] = {{"seMinute", "75", 59}, {"seHour", "30", 24},  {"seSecond", "ab", 0},
                        {"seSecond", "", 0},     {"seMinute", "4x", 0}, {"seMinute", "45", 45}};
  for (const Case& c : cases) {
    rig.tab.SetTimerFields(1, 2, 3);
    TimerSpin* spin = rig.spin(c.field);
    spin->selectAll();
    if (*c.typed)
      QTest::keyClicks(spin, QString::fromUtf8(c.typed));
    else
      QTest::keyClick(spin, Qt::Key_Backspace);
    EXPECT_EQ(spin->text(), QString::fromUtf8(c.typed)) << "no keystroke refused";
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(spin, &leave);
    EXPECT_EQ(spin->value(), c.value) << c.field << " " << c.typed;
    EXPECT_EQ(spin->text(), QString::number(c.value));
    const TimerSettings& t = rig.settings.Timer;
    EXPECT_EQ((std::array{t.ValHour, t.ValMin, t.ValSec}),
              (std::array{rig.spin("seHour")->value(), rig.spin("seMinute")->value(), rig.spin("seSecond")->value()}))
        << "the setting follows the field";
  }

  // An arrow after typing starts from the typed number, within the bounds.
  TimerSpin* minutes = rig.spin("seMinute");
  minutes->selectAll();
  QTest::keyClicks(minutes, QStringLiteral("58"));
  QTest::keyClick(minutes, Qt::Key_Up);
  QTest::keyClick(minutes, Qt::Key_Up);
  EXPECT_EQ(minutes->value(), 59);
}

TEST(TimerTab, StartCountDownCaptureAndStopThroughTheButtonAndTheTicks) {
  Rig rig;
  rig.tab.SetTimerFields(0, 0, 2);
  QPushButton* onOff = rig.tab.btnTimerOnOff();
  onOff->click();
  EXPECT_TRUE(rig.tab.running());
  EXPECT_EQ(onOff->text(), QStringLiteral("Timer stoppen"));
  EXPECT_EQ(rig.window.timerText, QStringLiteral("0-00:00:02"));
  EXPECT_FALSE(rig.spin("seHour")->isEnabled()) << "locked while running";
  EXPECT_TRUE(rig.tab.findChild<QCheckBox*>("cbLoopTimer")->isEnabled());

  rig.tab.TimerTimer();
  rig.tab.TimerTimer();
  EXPECT_EQ(rig.window.timerText, QStringLiteral("0-00:00:00"));
  EXPECT_EQ(rig.tab.pbTimer()->percent(), 0);
  rig.tab.TimerTimer();
  EXPECT_EQ(rig.window.captures, 1);
  EXPECT_FALSE(rig.tab.running());
  EXPECT_FALSE(onOff->isChecked()) << "the button comes up";
  EXPECT_EQ(onOff->text(), QStringLiteral("Timer starten"));
  EXPECT_EQ(rig.window.timerText, QStringLiteral("Deaktiviert"));
  EXPECT_EQ(rig.tab.pbTimer()->percent(), 100);
  EXPECT_TRUE(rig.spin("seHour")->isEnabled());

  // Autostart at the window's start, and a reset (the start-up step again) stops it.
  rig.settings.Timer.TimerAutostart = true;
  rig.tab.loadFromSettings();
  rig.tab.initWindowState();
  EXPECT_TRUE(rig.tab.running());
  EXPECT_TRUE(onOff->isChecked());
  rig.tab.findChild<QCheckBox*>("cbAutoStart")->setChecked(false);
  rig.tab.initWindowState();
  EXPECT_FALSE(rig.tab.running());
  EXPECT_FALSE(onOff->isChecked());
  EXPECT_TRUE(rig.spin("seHour")->isEnabled());
}

TEST(TimerTab, AfterACaptureThatHadToWaitTheNextCountdownTicksWholeSeconds) {
  Rig rig;
  rig.tab.SetTimerFields(0, 0, 0);
  rig.tab.btnTimerOnOff()->click();
  const int second = rig.tab.tickIntervalMs();
  rig.window.captureWaits = true;
  rig.tab.TimerTimer();  // due, but a box is open
  EXPECT_LT(rig.tab.tickIntervalMs(), second) << "tried again soon";
  EXPECT_EQ(rig.window.captures, 0);

  // A reset confirmed in that box stops the timer; started again, and after a
  // stop by the button, it counts in whole seconds from its first tick.
  rig.tab.initWindowState();
  rig.window.captureWaits = false;
  rig.tab.SetTimerFields(0, 0, 5);
  rig.tab.btnTimerOnOff()->click();
  EXPECT_EQ(rig.tab.tickIntervalMs(), second);

  rig.tab.SetTimerFields(0, 0, 0);
  rig.tab.btnTimerOnOff()->click();
  rig.tab.btnTimerOnOff()->click();
  rig.window.captureWaits = true;
  rig.tab.TimerTimer();
  rig.tab.btnTimerOnOff()->click();  // stopped while the capture waits
  rig.tab.btnTimerOnOff()->click();
  EXPECT_EQ(rig.tab.tickIntervalMs(), second);
}
