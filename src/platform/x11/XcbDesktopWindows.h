#pragma once

#include <memory>

#include "platform/DesktopWindows.h"

namespace lumora {

class XcbSkipTaskbar;

// The program's windows on an X server, through Qt's own connection: windows
// place themselves, and the skip-taskbar mark is set before each is mapped.
class XcbDesktopWindows : public DesktopWindows {
 public:
  XcbDesktopWindows();
  ~XcbDesktopWindows() override;

  void keepOffTaskbar(QCoreApplication& app) override;
  void flush() override;
  bool placesWindows() const override { return false; }
  void bringToFront(QWindow& window) override;
  std::function<void()> keepPlace(QWindow& window) override;

 private:
  std::unique_ptr<XcbSkipTaskbar> skipTaskbar_;
};

}  // namespace lumora
