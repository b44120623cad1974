#include <gtest/gtest.h>

#include <QRegularExpression>

#include "QtPrinters.h"
#include "platform/Clock.h"

using namespace lumora;

TEST(Clock, DatesHaveFourDigitYearsInTheUsersFormatAndGermanOnesWithoutALocale) {
  const QDate day(2026, 12, 6);
  const QTime moment(14, 5, 9);
  struct Case {
    const char* locale;
    const char* date;
    const char* time;
  };
  const Case cases[] = {
      {"de_DE", "06.12.2026", "14:05:09"},
      {"de_AT", "06.12.2026", "14:05:09"},
      {"en_US", "12/6/2026", "2:05:09 PM"},
      {"en_GB", "06/12/2026", "14:05:09"},
      {"fr_FR", "06/12/2026", "14:05:09"},
      {"ja_JP", "2026/12/06", "14時05分09秒"},
      // No locale of its own: the interface is German, so are its dates.
      {"C", "06.12.2026", "14:05:09"},
      {"POSIX", "06.12.2026", "14:05:09"},
  };
  for (const Case& c : cases) {
    const ClockFormats formats{QLocale(QString::fromLatin1(c.locale))};
    EXPECT_EQ(formats.date(day), QString::fromUtf8(c.date)) << c.locale;
    EXPECT_EQ(formats.time(moment), QString::fromUtf8(c.time)) << c.locale;
  }
}

TEST(Clock, TheRunningClockSpeaksGermanWhenTheSystemHasNoLocale) {
  const SystemClock clock{QLocale::c()};
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}$")).match(clock.dateText()).hasMatch())
      << clock.dateText().toStdString();
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(clock.timeText()).hasMatch())
      << clock.timeText().toStdString();
}
