#pragma once

#include <cstdint>

namespace lumora {

// A screen rectangle: left and top inside, right and bottom just outside,
// in pixels from the primary screen's top-left corner.
struct ScreenRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  // Widths are computed in 64 bits: the difference of two 32-bit edges may not fit.
  int64_t width() const { return int64_t(Right) - Left; }
  int64_t height() const { return int64_t(Bottom) - Top; }
  bool operator==(const ScreenRect&) const = default;
};

}  // namespace lumora
