#include "raster/MaskOps.h"

#include <algorithm>
#include <utility>

namespace lumora {

void MaskFillRect(QImage& image, int left, int top, int right, int bottom, QRgb color) {
  if (image.isNull()) return;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, image.width());
  bottom = std::min(bottom, image.height());
  if (left >= right || top >= bottom) return;

  const QImage::Format format = image.format();
  if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32) image.convertTo(QImage::Format_RGB32);
  const QRgb mask = (color & 0x00ffffffu) | 0xff000000u;
  for (int y = top; y < bottom; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = left; x < right; ++x) line[x] &= mask;
  }
}

}  // namespace lumora
