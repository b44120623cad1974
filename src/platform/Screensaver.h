#pragma once

namespace lumora {

// The system's screensaver switch.
class Screensaver {
 public:
  virtual ~Screensaver() = default;
  // Switches the screensaver on or off; false when the system refused.
  virtual bool setActive(bool on) = 0;
};

}  // namespace lumora
