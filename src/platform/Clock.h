#pragma once

#include <QString>

namespace lumora {

// Local date and time as texts in the user's formats.
class Clock {
 public:
  virtual ~Clock() = default;
  // The short date format, for example 06.12.2026.
  virtual QString dateText() const = 0;
  // The long time format (with seconds), for example 14:05:09.
  virtual QString timeText() const = 0;
};

class SystemClock : public Clock {
 public:
  QString dateText() const override;
  QString timeText() const override;
};

}  // namespace lumora
