#pragma once

#include <QPoint>
#include <functional>
#include <memory>

#include "platform/DesktopWindows.h"

namespace lumora {

class XcbSkipTaskbar;
class XcbWindowList;

// The program's windows on an X server, through Qt's own connection: windows
// place themselves, and the skip-taskbar mark is set before each is mapped.
class XcbDesktopWindows : public DesktopWindows {
 public:
  // `primaryOrigin` gives the primary monitor's top-left corner in root pixels.
  explicit XcbDesktopWindows(std::function<QPoint()> primaryOrigin);
  ~XcbDesktopWindows() override;

  void keepOffTaskbar(QCoreApplication& app) override;
  void flush() override;
  bool placesWindows() const override { return false; }
  void bringToFront(QWindow& window) override;
  std::function<void()> keepPlace(QWindow& window) override;
  std::vector<ScreenRect> windowFrames() override;
  std::optional<ScreenRect> activeWindowFrame() override;
  // The same without Qt, on a connection of its own to $DISPLAY (the one-shot capture).
  static std::optional<ScreenRect> ActiveOnDisplay(QPoint primaryOrigin);

 private:
  // Made at the first use, on Qt's connection; null without one.
  XcbWindowList* list();

  std::unique_ptr<XcbSkipTaskbar> skipTaskbar_;
  std::unique_ptr<XcbWindowList> list_;
  std::function<QPoint()> primaryOrigin_;
};

}  // namespace lumora
