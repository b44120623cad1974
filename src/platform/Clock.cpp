#include "platform/Clock.h"

#include <QDateTime>
#include <QLocale>

namespace lumora {

QString SystemClock::dateText() const {
  return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

QString SystemClock::timeText() const {
  // The locale's long time format carries the time zone; a caption wants the
  // clock time with seconds only.
  QString format = QLocale::system().timeFormat(QLocale::LongFormat);
  format.remove(QLatin1Char('t'));
  format = format.trimmed();
  return QLocale::system().toString(QTime::currentTime(), format);
}

}  // namespace lumora
