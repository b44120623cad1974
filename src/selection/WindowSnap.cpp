#include "selection/WindowSnap.h"

#include <algorithm>
#include <cstdlib>

namespace lumora {

void WindowSnap::reset(std::vector<ScreenRect> windows, const ScreenRect& screen) {
  windows_ = std::move(windows);
  screen_ = screen;
  enabled_ = true;
}

std::optional<ScreenRect> WindowSnap::at(int32_t x, int32_t y) const {
  if (!enabled_) return std::nullopt;
  for (const ScreenRect& w : windows_) {
    if (x < w.Left || x >= w.Right || y < w.Top || y >= w.Bottom) continue;
    const ScreenRect clipped{std::max(w.Left, screen_.Left), std::max(w.Top, screen_.Top),
                             std::min(w.Right, screen_.Right), std::min(w.Bottom, screen_.Bottom)};
    // The pointer is on the screen, so a window under it has a part there.
    if (clipped.width() > 0 && clipped.height() > 0) return clipped;
  }
  return std::nullopt;
}

bool WindowSnap::IsClick(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return std::llabs(int64_t(x2) - x1) <= kClickSlop && std::llabs(int64_t(y2) - y1) <= kClickSlop;
}

}  // namespace lumora
