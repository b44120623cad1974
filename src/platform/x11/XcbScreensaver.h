#pragma once

#include <cstdint>

#include "platform/Screensaver.h"

struct xcb_connection_t;

namespace lumora {

// The X server's screensaver: off is a timeout of 0; on restores the timeout the
// server had when the program started, or the server's default when that was 0.
// The other screensaver settings are passed back as they were read.
class XcbScreensaver : public Screensaver {
 public:
  explicit XcbScreensaver(xcb_connection_t* connection);
  bool setActive(bool on) override;

 private:
  xcb_connection_t* conn_;
  int16_t timeoutAtStart_ = 0;
  int16_t interval_ = -1;
  uint8_t preferBlanking_ = 2;  // the server's defaults, if nothing can be read
  uint8_t allowExposures_ = 2;
};

}  // namespace lumora
