#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "ui/IntervalTimer.h"

using namespace lumora;
using Outcome = IntervalTimer::TickOutcome;

TEST(IntervalTimer, TenSecondsCountDownAndCaptureOnTheEleventhTick) {
  int captures = 0;
  IntervalTimer timer([&] { return ++captures > 0; });
  EXPECT_EQ(timer.panelText(), QStringLiteral("Deaktiviert"));
  EXPECT_EQ(timer.gaugePercent(), 100);

  timer.setEnabled(true, IntervalTimer::Total(0, 0, 10));
  EXPECT_EQ(timer.panelText(), QStringLiteral("0-00:00:10"));
  EXPECT_EQ(timer.gaugePercent(), 100);
  for (int tick = 1; tick <= 10; ++tick) {
    ASSERT_EQ(timer.tick(false, 10), Outcome::Counted) << tick;
    EXPECT_EQ(captures, 0);
  }
  EXPECT_EQ(timer.panelText(), QStringLiteral("0-00:00:00"));
  EXPECT_EQ(timer.gaugePercent(), 0);
  EXPECT_EQ(timer.tick(false, 10), Outcome::Stopped);  // the eleventh
  EXPECT_EQ(captures, 1);
  EXPECT_FALSE(timer.enabled());
  EXPECT_EQ(timer.panelText(), QStringLiteral("Deaktiviert"));
  EXPECT_EQ(timer.gaugePercent(), 100);
  EXPECT_EQ(timer.tick(false, 10), Outcome::Ignored);
}

TEST(IntervalTimer, RepetitionRestartsFromTheFieldsAndAZeroDurationCapturesEveryTick) {
  int captures = 0;
  IntervalTimer timer([&] { return ++captures > 0; });
  timer.setEnabled(true, 2);
  for (int i = 0; i < 2; ++i) timer.tick(true, 2);
  EXPECT_EQ(timer.tick(true, 5), Outcome::Repeated) << "the fields changed meanwhile";
  EXPECT_EQ(timer.RemainingSeconds(), 5u);
  EXPECT_EQ(timer.panelText(), QStringLiteral("0-00:00:05"));

  IntervalTimer zero([&] { return ++captures > 0; });
  captures = 0;
  zero.setEnabled(true, 0);
  EXPECT_EQ(zero.gaugePercent(), 0) << "an empty countdown fills nothing";
  for (int i = 0; i < 3; ++i) EXPECT_EQ(zero.tick(true, 0), Outcome::Repeated);
  EXPECT_EQ(captures, 3);
}

TEST(IntervalTimer, ACaptureThatCannotRunYetIsTakenLateNotDropped) {
  // Another capture or a dialog is open when the countdown runs out: the timer
  // waits at zero, and a timer without repetition ends only after its picture.
  bool free = false;
  int captures = 0;
  IntervalTimer once([&] { return free && ++captures > 0; });
  once.setEnabled(true, 1);
  EXPECT_EQ(once.tick(false, 1), Outcome::Counted);
  EXPECT_EQ(once.tick(false, 1), Outcome::Waiting);
  EXPECT_EQ(once.tick(false, 1), Outcome::Waiting);
  EXPECT_TRUE(once.enabled());
  EXPECT_EQ(once.panelText(), QStringLiteral("0-00:00:00"));
  free = true;
  EXPECT_EQ(once.tick(false, 1), Outcome::Stopped);
  EXPECT_EQ(captures, 1);
}

TEST(IntervalTimer, StopKeepsNothingAndTicksDuringACaptureAreIgnored) {
  IntervalTimer* self = nullptr;
  int nested = 0;
  IntervalTimer timer([&] {
    // A box inside the capture runs the event loop: the next tick arrives now.
    nested += self->tick(true, 3) == Outcome::Ignored;
    return true;
  });
  self = &timer;
  timer.setEnabled(true, 0);
  EXPECT_EQ(timer.tick(true, 3), Outcome::Repeated);
  EXPECT_EQ(nested, 1);

  timer.tick(true, 3);
  timer.setEnabled(false, 3);
  EXPECT_EQ(timer.panelText(), QStringLiteral("Deaktiviert"));
  timer.setEnabled(true, 7);
  EXPECT_EQ(timer.RemainingSeconds(), 7u) << "a restart begins from the fields";

  struct Case {
    uint32_t remaining, total;
    int percent;
  };
  for (const Case& c : {Case{1, 3, 33}, Case{2, 3, 66}, Case{90061, 90061, 100}, Case{1, 90061, 0}}) {
    IntervalTimer t([] { return true; });
    t.setEnabled(true, c.total);
    while (t.RemainingSeconds() > c.remaining) t.tick(false, c.total);
    EXPECT_EQ(t.gaugePercent(), c.percent) << c.remaining << "/" << c.total;
  }
  IntervalTimer day([] { return true; });
  day.setEnabled(true, IntervalTimer::Total(25, 1, 1));
  EXPECT_EQ(day.panelText(), QStringLiteral("1-01:01:01"));
}

TEST(IntervalTimer, ALeftFieldReadsNotANumberAsZeroAndPullsOthersIntoItsBounds) {
  struct Case {
    const char* text;
    int max;
    int value;
  };
  const Case cases[] = {
      {"12", 59, 12},  {" 7 ", 59, 7},   {"007", 59, 7},  {"+3", 59, 3},     {"75", 59, 59},
      {"30", 24, 24},  {"-5", 59, 0},    {"", 59, 0},     {"abc", 59, 0},    {"12abc", 59, 0},
      {"1.5", 59, 0},  {"99999999999999999999999", 59, 59}, {"0", 24, 0},  {"24", 24, 24},
  };
  for (const Case& c : cases) EXPECT_EQ(IntervalTimer::FieldValue(QString::fromUtf8(c.text), c.max), c.value) << c.text;
}
