#pragma once

#include <QString>

#include "platform/DesktopWindows.h"
#include "platform/wayland/PortalScreen.h"

namespace lumora {

// The program's windows under a Wayland compositor, which places them and keeps
// its own taskbar: nothing to mark, nothing to send ahead. Only sway tells other
// programs where windows are (over its IPC socket, `swaySocket`); under any other
// compositor there are none to tell of.
class CompositorWindows : public DesktopWindows {
 public:
  CompositorWindows() = default;
  // `desktop` gives the primary output and its scale, to turn sway's layout
  // coordinates into the grab's pixels.
  CompositorWindows(QString swaySocket, PortalScreen::DesktopSource desktop)
      : swaySocket_(std::move(swaySocket)), desktop_(std::move(desktop)) {}

  void keepOffTaskbar(QCoreApplication&) override {}
  void flush() override {}
  bool placesWindows() const override { return true; }
  std::vector<ScreenRect> windowFrames() override;
  std::optional<ScreenRect> activeWindowFrame() override;

 private:
  ScreenRect toScreen(const QRect& layout, const PortalScreen::Desktop& d) const;

  QString swaySocket_;
  PortalScreen::DesktopSource desktop_;
};

}  // namespace lumora
