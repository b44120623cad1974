#include "raster/PixelOps.h"

#include <algorithm>
#include <cstdint>

namespace lumora {

std::vector<int> stretchIndices(int src, int dst, bool rows) {
  std::vector<int> out(size_t(std::max(dst, 0)), 0);
  if (src <= 0 || dst <= 0) return out;
  int64_t s = src;
  const int64_t d = dst;
  if (d == 1 && s > 1) s -= 1;  // a single pixel takes its source from one short
  for (int64_t i = 0; i < d; ++i) {
    int64_t v;
    if (d > s) {
      v = ((2 * i + 1) * s - 1) / (2 * d);
    } else if (d < s) {
      v = rows ? (2 * i * s + d) / (2 * d) : (2 * (i + 1) * s + d) / (2 * d) - 1;
    } else {
      v = i;
    }
    out[size_t(i)] = int(std::clamp<int64_t>(v, 0, src - 1));
  }
  return out;
}

QImage stretchColorOnColor(const QImage& source, QSize size) {
  QImage out(size, QImage::Format_RGB32);
  if (out.isNull()) return out;
  if (source.isNull() || source.width() == 0 || source.height() == 0) {
    out.fill(Qt::black);
    return out;
  }
  const QImage src = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                         ? source
                         : source.convertToFormat(QImage::Format_RGB32);
  const std::vector<int> cols = stretchIndices(src.width(), size.width(), false);
  const std::vector<int> rowsIdx = stretchIndices(src.height(), size.height(), true);
  for (int y = 0; y < size.height(); ++y) {
    const auto* in = reinterpret_cast<const uint32_t*>(src.constScanLine(rowsIdx[size_t(y)]));
    auto* line = reinterpret_cast<uint32_t*>(out.scanLine(y));
    for (int x = 0; x < size.width(); ++x) line[x] = in[cols[size_t(x)]] | 0xff000000u;
  }
  return out;
}

uint8_t blendOver(uint8_t source, uint8_t alpha, uint8_t destination) {
  const uint32_t t = uint32_t(destination) * (255u - alpha) + 128u;
  // A source brighter than its alpha is not premultiplied; it saturates.
  return uint8_t(std::min<uint32_t>(source + ((t + (t >> 8)) >> 8), 255u));
}

void blendPremultiplied(QImage& target, const QImage& source, QPoint at) {
  if (target.format() != QImage::Format_RGB32 && target.format() != QImage::Format_ARGB32)
    target = target.convertToFormat(QImage::Format_RGB32);
  const QImage src = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QRect area = QRect(at, src.size()).intersected(target.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const auto* in = reinterpret_cast<const uint32_t*>(src.constScanLine(y - at.y()));
    auto* line = reinterpret_cast<uint32_t*>(target.scanLine(y));
    for (int x = area.left(); x <= area.right(); ++x) {
      const uint32_t s = in[x - at.x()], d = line[x];
      const uint8_t a = uint8_t(s >> 24);
      if (a == 0 && (s & 0xffffffu) == 0) continue;
      line[x] = 0xff000000u | uint32_t(blendOver(uint8_t(s >> 16), a, uint8_t(d >> 16))) << 16 |
                uint32_t(blendOver(uint8_t(s >> 8), a, uint8_t(d >> 8))) << 8 | blendOver(uint8_t(s), a, uint8_t(d));
    }
  }
}

}  // namespace lumora
