#include "SaverBenchSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace lumora::bench {

QImage PhotoLike(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  uint32_t seed = 12345;
  for (int y = 0; y < height; ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    const double fy = double(y) / height;
    for (int x = 0; x < width; ++x) {
      const double fx = double(x) / width;
      seed = seed * 1664525u + 1013904223u;
      const int noise = int(seed >> 28) - 8;
      const double texture = 18 * std::sin(x * 0.21 + std::sin(y * 0.05) * 3) * std::cos(y * 0.17);
      const bool edge = (x / 97 + y / 61) % 5 == 0;
      const int r = int(90 + 120 * fx + texture) + noise + (edge ? 40 : 0);
      const int g = int(60 + 150 * fy + 0.5 * texture) + noise;
      const int b = int(200 - 140 * fx * fy - texture) + noise - (edge ? 50 : 0);
      row[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
    }
  }
  return image;
}

bool PictureScreen::grab(const ScreenRect& rect, QImage& target) {
  const QRect r(int(rect.Left), int(rect.Top), int(rect.width()), int(rect.height()));
  if (!picture_.rect().contains(r)) return false;
  if (target.size() != r.size() || target.format() != QImage::Format_RGB32)
    target = QImage(r.size(), QImage::Format_RGB32);
  for (int y = 0; y < r.height(); ++y)
    std::memcpy(target.scanLine(y), picture_.constScanLine(r.top() + y) + 4 * r.left(), size_t(r.width()) * 4);
  return true;
}

}  // namespace lumora::bench
