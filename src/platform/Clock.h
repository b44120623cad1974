#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace lumora {

// Local date and time as texts in the user's formats.
class Clock {
 public:
  virtual ~Clock() = default;
  // The short date format with a four-digit year, for example 06.12.2026.
  virtual QString dateText() const = 0;
  // The long time format (with seconds), for example 14:05:09.
  virtual QString timeText() const = 0;
};

// The formats Lumora writes dates and times in. The interface is German, so a
// system without a locale of its own (unset, C, POSIX) gets the German formats.
struct ClockFormats {
  explicit ClockFormats(const QLocale& system);
  QString date(const QDate& day) const { return locale.toString(day, dateFormat); }
  QString time(const QTime& moment) const { return locale.toString(moment, timeFormat); }

  QLocale locale;
  QString dateFormat;  // the locale's short date, its year widened to four digits
  QString timeFormat;  // the locale's long time, without the time zone
};

class SystemClock : public Clock {
 public:
  explicit SystemClock(const QLocale& system = QLocale::system()) : formats_(system) {}
  QString dateText() const override;
  QString timeText() const override;

 private:
  ClockFormats formats_;
};

}  // namespace lumora
