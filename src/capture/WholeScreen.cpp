#include "capture/WholeScreen.h"

namespace lumora {

namespace {
ScreenRect toRect(const QRect& r) { return ScreenRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
}  // namespace

ScreenRect WholeScreenRect(uint8_t choice, const std::vector<QRect>& monitors, std::optional<QPoint> pointer) {
  if (monitors.empty()) return ScreenRect{};
  switch (choice) {
    case wsMauszeiger:
      if (pointer)
        for (const QRect& m : monitors)
          if (m.contains(*pointer)) return toRect(m);
      break;
    case wsAlle: {
      QRect all;
      for (const QRect& m : monitors) all |= m;
      return toRect(all);
    }
    default:
      break;
  }
  return toRect(monitors.front());
}

}  // namespace lumora
