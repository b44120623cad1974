#pragma once

#include "platform/DesktopWindows.h"

namespace lumora {

// The program's windows under a Wayland compositor, which places them and keeps
// its own taskbar: nothing to mark, nothing to send ahead.
class CompositorWindows : public DesktopWindows {
 public:
  void keepOffTaskbar(QCoreApplication&) override {}
  void flush() override {}
  bool placesWindows() const override { return true; }
};

}  // namespace lumora
