#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "ui/IntervalTimer.h"

using namespace lumora;
using Outcome = IntervalTimer::TickOutcome;

TEST(IntervalTimer, TenSecondsCountDownAndCaptureOnTheEleventhTick) {
  int captures = 0;
  IntervalTimer timer([&] { return ++captures > 0; });
  EXPECT_EQ(timer.PanelText(), QStringLiteral("Deaktiviert"));
  EXPECT_EQ(timer.GaugePercent(), 100);

  timer.SetEnabled(true, IntervalTimer::Total(0, 0, 10));
  EXPECT_EQ(timer.PanelText(), QStringLiteral("0-00:00:10"));
  EXPECT_EQ(timer.GaugePercent(), 100);
  for (int tick = 1; tick <= 10; ++tick) {
    ASSERT_EQ(timer.Tick(false, 10), Outcome::Counted) << tick;
    EXPECT_EQ(captures, 0);
  }
  EXPECT_EQ(timer.PanelText(), QStringLiteral("0-00:00:00"));
  EXPECT_EQ(timer.GaugePercent(), 0);
  EXPECT_EQ(timer.Tick(false, 10), Outcome::Stopped);  // the eleventh
  EXPECT_EQ(captures, 1);
  EXPECT_FALSE(timer.enabled());
  EXPECT_EQ(timer.PanelText(), QStringLiteral("Deaktiviert"));
  EXPECT_EQ(timer.GaugePercent(), 100);
  EXPECT_EQ(timer.Tick(false, 10), Outcome::Ignored);
}

TEST(IntervalTimer, RepetitionRestartsFromTheFieldsAndAZeroDurationCapturesEveryTick) {
  int captures = 0;
  IntervalTimer timer([&] { return ++captures > 0; });
  timer.SetEnabled(true, 2);
  for (int i = 0; i < 2; ++i) timer.Tick(true, 2);
  EXPECT_EQ(timer.Tick(true, 5), Outcome::Repeated) << "the fields changed meanwhile";
  EXPECT_EQ(timer.RemainingSeconds(), 5u);
  EXPECT_EQ(timer.PanelText(), QStringLiteral("0-00:00:05"));

  IntervalTimer zero([&] { return ++captures > 0; });
  captures = 0;
  zero.SetEnabled(true, 0);
  EXPECT_EQ(zero.GaugePercent(), 0) << "an empty countdown fills nothing";
  for (int i = 0; i < 3; ++i) EXPECT_EQ(zero.Tick(true, 0), Outcome::Repeated);
  EXPECT_EQ(captures, 3);
}

TEST(IntervalTimer, ACaptureThatCannotRunYetIsTakenLateNotDropped) {
  // Another capture or a dialog is open when the countdown runs out: the timer
  // waits at zero, and a timer without repetition ends only after its picture.
  bool free = false;
  int captures = 0;
  IntervalTimer once([&] { return free && ++captures > 0; });
  once.SetEnabled(true, 1);
  EXPECT_EQ(once.Tick(false, 1), Outcome::Counted);
  EXPECT_EQ(once.Tick(false, 1), Outcome::Waiting);
  EXPECT_EQ(once.Tick(false, 1), Outcome::Waiting);
  EXPECT_TRUE(once.enabled());
  EXPECT_EQ(once.PanelText(), QStringLiteral("0-00:00:00"));
  free = true;
  EXPECT_EQ(once.Tick(false, 1), Outcome::Stopped);
  EXPECT_EQ(captures, 1);
}

TEST(IntervalTimer, StopKeepsNothingAndTicksDuringACaptureAreIgnored) {
  IntervalTimer* self = nullptr;
  int nested = 0;
  IntervalTimer timer([&] {
    // A box inside the capture runs the event loop: the next tick arrives now.
    nested += self->Tick(true, 3) == Outcome::Ignored;
    return true;
  });
  self = &timer;
  timer.SetEnabled(true, 0);
  EXPECT_EQ(timer.Tick(true, 3), Outcome::Repeated);
  EXPECT_EQ(nested, 1);

  timer.Tick(true, 3);
  timer.SetEnabled(false, 3);
  EXPECT_EQ(timer.PanelText(), QStringLiteral("Deaktiviert"));
  timer.SetEnabled(true, 7);
  EXPECT_EQ(timer.RemainingSeconds(), 7u) << "a restart begins from the fields";

  struct Case {
    uint32_t remaining, total;
    int percent;
  };
  for (const Case& c : {Case{1, 3, 33}, Case{2, 3, 66}, Case{90061, 90061, 100}, Case{1, 90061, 0}}) {
    IntervalTimer t([] { return true; });
    t.SetEnabled(true, c.total);
    while (t.RemainingSeconds() > c.remaining) t.Tick(false, c.total);
    EXPECT_EQ(t.GaugePercent(), c.percent) << c.remaining << "/" << c.total;
  }
  IntervalTimer day([] { return true; });
  day.SetEnabled(true, IntervalTimer::Total(25, 1, 1));
  EXPECT_EQ(day.PanelText(), QStringLiteral("1-01:01:01"));
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
