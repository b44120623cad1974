#pragma once

#include <QRect>
#include <memory>

#include "platform/Screen.h"

struct xcb_connection_t;

namespace lumora {

// The X11 screen, read through MIT-SHM into a shared segment that is kept between
// grabs, or through plain GetImage where the server offers no shared memory.
class XcbScreen : public Screen {
 public:
  // Opens its own connection to $DISPLAY. `primary` is the primary monitor's
  // geometry on the root window; an empty rectangle means the whole root window.
  explicit XcbScreen(QRect primary = QRect());
  ~XcbScreen() override;
  XcbScreen(const XcbScreen&) = delete;
  XcbScreen& operator=(const XcbScreen&) = delete;

  // False when no display could be opened.
  bool connected() const;
  QSize size() const override;
  bool grab(const ScreenRect& rect, QImage& target) override;
  bool usesSharedMemory() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace lumora
