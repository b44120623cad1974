#include "ui/IntervalTimer.h"

#include <QRegularExpression>

#include "settings/ValueCodes.h"

namespace lumora {

uint32_t IntervalTimer::Total(int hours, int minutes, int seconds) {
  return uint32_t(hours) * 3600u + uint32_t(minutes) * 60u + uint32_t(seconds);
}

int IntervalTimer::FieldValue(const QString& text, int max) {
  const QString t = text.trimmed();
  static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
  if (!wholeNumber.match(t).hasMatch()) return 0;
  if (t.startsWith(QLatin1Char('-'))) return 0;  // below every field's minimum
  bool ok = false;
  const qlonglong value = t.toLongLong(&ok);
  if (!ok || value > max) return max;  // too many digits for any number is above the bound too
  return int(value);
}

void IntervalTimer::setEnabled(bool pressed, uint32_t total) {
  enabled_ = pressed;
  if (enabled_) StartCountdown(total);
}

void IntervalTimer::StartCountdown(uint32_t total) {
  remaining_ = total;
  total_ = total;
}

IntervalTimer::TickOutcome IntervalTimer::tick(bool loop, uint32_t total) {
  if (!enabled_ || capturing_) return TickOutcome::Ignored;
  if (remaining_ > 0) {
    --remaining_;
    return TickOutcome::Counted;
  }
  capturing_ = true;
  struct Release {
    bool& flag;
    ~Release() { flag = false; }
  } release{capturing_};
  if (capture_ && !capture_()) return TickOutcome::Waiting;
  if (!enabled_) return TickOutcome::Stopped;  // stopped from inside the capture
  if (loop) {
    StartCountdown(total);
    return TickOutcome::Repeated;
  }
  enabled_ = false;
  return TickOutcome::Stopped;
}

QString IntervalTimer::panelText() const {
  return enabled_ ? DurationText(remaining_) : QStringLiteral("Deaktiviert");
}

int IntervalTimer::gaugePercent() const {
  if (total_ == 0) return 0;  // an empty gauge has nothing to fill
  if (!enabled_) return 100;
  return int(uint64_t(remaining_) * 100u / total_);
}

}  // namespace lumora
