#include "raster/RasterPen.h"

#include <algorithm>
#include <cstdint>

namespace lumora {

namespace {

constexpr int kPatternLength = 6;  // 3 on, 3 off
constexpr int kPatternOn = 3;

// The range [lo, hi) of steps k for which `start + dir * k` lies in [0, size).
void visibleSteps(long long start, int dir, long long size, long long& lo, long long& hi) {
  if (dir == 0) {
    if (start < 0 || start >= size) hi = lo;
    return;
  }
  if (dir > 0) {
    lo = std::max(lo, -start);
    hi = std::min(hi, size - start);
  } else {
    lo = std::max(lo, start - size + 1);
    hi = std::min(hi, start + 1);
  }
}

}  // namespace

void RasterPen::run(QImage& image, long long x, long long y, int dx, int dy, long long count, long long phase,
                    std::vector<QRect>* dirty) const {
  if (count <= 0 || image.isNull()) return;
  long long lo = 0, hi = count;
  visibleSteps(x, dx, image.width(), lo, hi);
  visibleSteps(y, dy, image.height(), lo, hi);
  if (lo >= hi) return;

  const qsizetype stride = image.bytesPerLine() / 4;
  const long long x0 = x + dx * lo, y0 = y + dy * lo;
  auto* p = reinterpret_cast<uint32_t*>(image.scanLine(int(y0))) + x0;
  const qsizetype step = dx + dy * stride;
  const uint32_t c = color_;
  const long long n = hi - lo;
  const bool notXor = mix_ == Mix::NotXor;
  if (style_ == Style::Solid) {
    for (long long k = 0; k < n; ++k, p += step) *p = notXor ? ~(c ^ *p) : (c & *p);
  } else {
    int m = int((phase + lo) % kPatternLength);
    for (long long k = 0; k < n; ++k, p += step) {
      if (m < kPatternOn) *p = notXor ? ~(c ^ *p) : (c & *p);
      if (++m == kPatternLength) m = 0;
    }
  }
  if (dirty) {
    const long long x1 = x + dx * (hi - 1), y1 = y + dy * (hi - 1);
    dirty->push_back(QRect(QPoint(int(std::min(x0, x1)), int(std::min(y0, y1))),
                           QPoint(int(std::max(x0, x1)), int(std::max(y0, y1)))));
  }
}

void RasterPen::line(QImage& image, QPoint from, QPoint to, std::vector<QRect>* dirty) const {
  const long long ddx = (long long)to.x() - from.x(), ddy = (long long)to.y() - from.y();
  if (ddx != 0 && ddy != 0) return;
  const int dx = ddx > 0 ? 1 : (ddx < 0 ? -1 : 0);
  const int dy = ddy > 0 ? 1 : (ddy < 0 ? -1 : 0);
  run(image, from.x(), from.y(), dx, dy, std::max(std::llabs(ddx), std::llabs(ddy)), 0, dirty);
}

void RasterPen::rectangle(QImage& image, int left, int top, int right, int bottom, std::vector<QRect>* dirty) const {
  const long long l = std::min(left, right), r = std::max(left, right);
  const long long t = std::min(top, bottom), b = std::max(top, bottom);
  const long long w = r - l, h = b - t;
  if (w == 0 || h == 0) return;
  // Clockwise: top edge, right edge, bottom edge, left edge; a side that would
  // repeat pixels of another (width or height 1) is left out.
  long long phase = 0;
  run(image, l, t, 1, 0, w, phase, dirty);
  phase += w;
  run(image, r - 1, t + 1, 0, 1, h - 1, phase, dirty);
  phase += h - 1;
  if (h > 1) {
    run(image, r - 2, b - 1, -1, 0, w - 1, phase, dirty);
    phase += w - 1;
  }
  if (w > 1) run(image, l, b - 2, 0, -1, h - 2, phase, dirty);
}

}  // namespace lumora
