#pragma once

#include <QRect>
#include <memory>

#include "platform/Screen.h"

struct xcb_connection_t;

namespace lumora {

// The X11 screen, read through MIT-SHM into a shared segment that is kept between
// grabs, or through plain GetImage where the server offers no shared memory.
// Its geometry is asked of the server at each use (RandR monitors), so a changed
// resolution, a monitor plugged in or a rotated screen counts at the next capture.
// Coordinates are device pixels relative to the primary monitor's top-left corner;
// parts of a rectangle on other monitors are read from them, parts outside every
// monitor are black.
class XcbScreen : public Screen {
 public:
  // Opens its own connection to $DISPLAY. Without `sharedMemory` the pixels come
  // through plain GetImage, as from a server that offers no shared memory.
  explicit XcbScreen(bool sharedMemory = true);
  ~XcbScreen() override;
  XcbScreen(const XcbScreen&) = delete;
  XcbScreen& operator=(const XcbScreen&) = delete;

  // False when no display could be opened.
  bool connected() const;
  QSize size() const override;
  bool grab(const ScreenRect& rect, QImage& target) override;
  bool usesSharedMemory() const;
  std::optional<QPoint> pointer() const override;
  std::vector<QRect> monitors() const override;
  // From XFixes; nothing where the server lacks it.
  std::optional<PointerImage> pointerImage() const override;
  // The primary monitor, in root-window pixels.
  QRect primary() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace lumora
