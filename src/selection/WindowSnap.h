#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ScreenRect.h"

namespace lumora {

// The windows a selection can snap to, as they stood when the screen froze: the
// topmost window under the pointer is the one meant, its frame clipped to the
// screen is the rectangle it gives.
class WindowSnap {
 public:
  // A press and release no farther apart than this on both axes is a click: a
  // hand on a mouse never keeps still to the pixel.
  static constexpr int32_t kClickSlop = 2;

  // `windows` the topmost first. Snapping is on again after each reset.
  void reset(std::vector<ScreenRect> windows, const ScreenRect& screen);
  void setEnabled(bool on) { enabled_ = on; }
  bool enabled() const { return enabled_; }
  bool empty() const { return windows_.empty(); }

  // The rectangle of the topmost window at (x, y), clipped to the screen;
  // nothing where no window is, or while snapping is off.
  std::optional<ScreenRect> at(int32_t x, int32_t y) const;

  // Whether a rubber band from (x1, y1) to (x2, y2) was meant as a click.
  static bool IsClick(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

 private:
  std::vector<ScreenRect> windows_;
  ScreenRect screen_;
  bool enabled_ = true;
};

}  // namespace lumora
