#include "platform/Clock.h"

#include <QRegularExpression>

namespace lumora {

ClockFormats::ClockFormats(const QLocale& system)
    : locale(system.language() == QLocale::C ? QLocale(QLocale::German, QLocale::Germany) : system) {
  // Short formats give two-digit years ("08.12.26"), which read badly in a
  // caption that is kept for years.
  dateFormat = locale.dateFormat(QLocale::ShortFormat);
  static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
  dateFormat.replace(twoDigitYear, QStringLiteral("yyyy"));
  // The long time format carries the time zone; a caption wants the clock time
  // with seconds only.
  timeFormat = locale.timeFormat(QLocale::LongFormat);
  timeFormat.remove(QLatin1Char('t'));
  timeFormat = timeFormat.trimmed();
}

QString SystemClock::dateText() const { return formats_.date(QDate::currentDate()); }

QString SystemClock::timeText() const { return formats_.time(QTime::currentTime()); }

}  // namespace lumora
