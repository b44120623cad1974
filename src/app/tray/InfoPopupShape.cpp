#include "app/tray/InfoPopupShape.h"

namespace lumora {

std::vector<QRect> InfoPopupSpans() {
  // Left edge of rows 1..44 of the ellipse as the window system rasterises it;
  // rows 45..59 reach x = 1, and rows 60..103 mirror rows 44..1.
  static constexpr int kLeft[44] = {45, 40, 37, 34, 32, 29, 28, 26, 24, 23, 22, 20, 19, 18, 17,
                                    16, 15, 14, 13, 12, 12, 11, 10, 9,  9,  8,  8,  7,  6,  6,
                                    6,  5,  5,  4,  4,  4,  3,  3,  3,  2,  2,  2,  2,  2};
  std::vector<QRect> spans;
  for (int y = 1; y <= 103; ++y) {
    int left;
    if (y <= 44)
      left = kLeft[y - 1];
    else if (y <= 59)
      left = 1;
    else
      left = kLeft[104 - y - 1];
    spans.emplace_back(QPoint(left, y), QPoint(104 - left, y));
  }
  return spans;
}

}  // namespace lumora
