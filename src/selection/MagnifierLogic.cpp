#include "selection/MagnifierLogic.h"

#include <algorithm>

#include "raster/PixelOps.h"

namespace lumora {

namespace {
constexpr int kSpan = 140;  // half the source square is kSpan div ZoomDivisor
}

MagnifierLogic::MagnifierLogic(QSize screen) : screen_(screen) {
  setFixedWidth(kDefaultFixedWidth);
  setFixedHeight(kDefaultFixedHeight);
}

void MagnifierLogic::setScreen(QSize screen) {
  screen_ = screen;
  setFixedWidth(fixedWidth_);
  setFixedHeight(fixedHeight_);
}

void MagnifierLogic::setFixedWidth(int width) { fixedWidth_ = std::clamp(width, 1, maxFixedWidth()); }

void MagnifierLogic::setFixedHeight(int height) { fixedHeight_ = std::clamp(height, 1, maxFixedHeight()); }

uint8_t MagnifierLogic::ZoomDivisor() const {
  switch (zoom_) {
    case Zoom::X2: return 6;
    case Zoom::X4: return 10;
    case Zoom::X8: return 20;
  }
  return 10;
}

void MagnifierLogic::ShowMousePos(int32_t x, int32_t y) {
  mouseX_ = x;
  mouseY_ = y;
  changed();
}

void MagnifierLogic::ShowSelectionSize(int32_t width, int32_t height) {
  selWidth_ = width;
  selHeight_ = height;
  changed();
}

void MagnifierLogic::UpdateMagnifier(int32_t x, int32_t y, const QImage& source, int32_t yOffset) {
  const int half = kSpan / ZoomDivisor();
  const int side = 2 * half;
  if (lupe_.isNull()) lupe_ = QImage(kLupeSize, kLupeSize, QImage::Format_RGB32);
  lupe_.fill(Qt::black);
  // Pixel replication; whatever of the square lies off the source stays black.
  const std::vector<int> cols = stretchIndices(side, kLupeSize, false);
  const std::vector<int> rows = stretchIndices(side, kLupeSize, true);
  const long long left = (long long)x - half, top = (long long)y - half + yOffset;
  const bool rgb = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32;
  for (int j = 0; j < kLupeSize; ++j) {
    const long long sy = top + rows[size_t(j)];
    if (sy < 0 || sy >= source.height() || !rgb) continue;
    const auto* in = reinterpret_cast<const uint32_t*>(source.constScanLine(int(sy)));
    auto* out = reinterpret_cast<uint32_t*>(lupe_.scanLine(j));
    for (int i = 0; i < kLupeSize; ++i) {
      const long long sx = left + cols[size_t(i)];
      if (sx >= 0 && sx < source.width()) out[i] = in[sx] | 0xff000000u;
    }
  }
  DrawCrosshair();
}

void MagnifierLogic::DrawCrosshair() {
  if (lupe_.isNull()) return;
  const int c = kLupeCentre, a = kCrosshairArm;
  pen_.line(lupe_, QPoint(c - a, c), QPoint(c + a + 1, c));
  pen_.line(lupe_, QPoint(c, c - a), QPoint(c, c + a + 1));
  changed();
}

}  // namespace lumora
