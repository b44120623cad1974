#include "capture/PngRowFilter.h"

#include <QtGlobal>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace lumora {

namespace {

// The bytes of a 32-bit pixel in memory.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr size_t kRed = 2, kGreen = 1, kBlue = 0;
#else
constexpr size_t kRed = 1, kGreen = 2, kBlue = 3;
#endif

uint8_t paeth(int a, int b, int c) {
  // The predictor of the format, written without branches so that the row loop
  // vectorises; ties go to a, then b, as the format wants.
  const int pa = std::abs(b - c);
  const int pb = std::abs(a - c);
  const int pc = std::abs(a + b - 2 * c);
  const int ab = pb < pa ? b : a;
  const int pab = pb < pa ? pb : pa;
  return uint8_t(pc < pab ? c : ab);
}

// `n` bytes of 32-bit pixels; the first pixel has no left neighbour.
void filterRow(int type, const uint8_t* __restrict cur, const uint8_t* __restrict up, uint8_t* __restrict w,
               size_t n) {
  switch (type) {
    case 0:
      std::memcpy(w, cur, n);
      break;
    case 1:
      for (size_t i = 0; i < 4; ++i) w[i] = cur[i];
      for (size_t i = 4; i < n; ++i) w[i] = uint8_t(cur[i] - cur[i - 4]);
      break;
    case 2:
      for (size_t i = 0; i < n; ++i) w[i] = uint8_t(cur[i] - up[i]);
      break;
    case 3:
      for (size_t i = 0; i < 4; ++i) w[i] = uint8_t(cur[i] - (up[i] >> 1));
      for (size_t i = 4; i < n; ++i) w[i] = uint8_t(cur[i] - ((cur[i - 4] + up[i]) >> 1));
      break;
    case 4:
      for (size_t i = 0; i < 4; ++i) w[i] = uint8_t(cur[i] - up[i]);
      for (size_t i = 4; i < n; ++i) w[i] = uint8_t(cur[i] - paeth(cur[i - 4], up[i], up[i - 4]));
      break;
  }
}

}  // namespace

PngRowFilter::PngRowFilter(const QImage& image, PngFilter filter)
    : image_(image), filter_(filter), width_(size_t(image.width())), zero_(width_ * 4, 0) {
  if (filter == PngFilter::Adaptive) {
    for (std::vector<uint8_t>& w : work_) w.resize(width_ * 4);
    xlogx_.resize(width_ * 3 + 1);
    for (size_t c = 1; c < xlogx_.size(); ++c) xlogx_[c] = float(double(c) * std::log2(double(c)));
  } else {
    work_[int(filter)].resize(width_ * 4);
  }
}

// An order-0 code for a row's colour bytes takes n log n minus the sum of c log c
// over the counts c of the byte values: the largest sum wins. Deflate fits its
// codes to blocks of many rows and its matches take most of the flat parts, yet
// this estimate chose better on desktop pictures than the sum of magnitudes that
// libpng uses. Three tables, one per colour byte, keep runs of one value from
// waiting on the same counter.
int PngRowFilter::choose(const uint8_t* cur, const uint8_t* up) {
  const size_t n = width_ * 4;
  int best = 0;
  float bestSum = 0;
  for (int type = 0; type < 5; ++type) {
    uint8_t* w = work_[type].data();
    filterRow(type, cur, up, w, n);
    uint32_t counts[3][256] = {};
    for (size_t x = 0; x < width_; ++x) {
      ++counts[0][w[4 * x + kRed]];
      ++counts[1][w[4 * x + kGreen]];
      ++counts[2][w[4 * x + kBlue]];
    }
    float sum = 0;
    for (int v = 0; v < 256; ++v) sum += xlogx_[size_t(counts[0][v]) + counts[1][v] + counts[2][v]];
    if (type == 0 || sum > bestSum) best = type, bestSum = sum;
  }
  return best;
}

void PngRowFilter::pack(int type, const uint8_t* __restrict w, uint8_t* __restrict out) const {
  out[0] = uint8_t(type);
  for (size_t x = 0; x < width_; ++x) {
    out[1 + 3 * x] = w[4 * x + kRed];
    out[2 + 3 * x] = w[4 * x + kGreen];
    out[3 + 3 * x] = w[4 * x + kBlue];
  }
}

void PngRowFilter::write(int y, uint8_t* out) {
  const uint8_t* cur = image_.constScanLine(y);
  const uint8_t* up = y > 0 ? image_.constScanLine(y - 1) : zero_.data();
  const size_t n = width_ * 4;
  if (filter_ != PngFilter::Adaptive) {
    const int type = int(filter_);
    filterRow(type, cur, up, work_[type].data(), n);
    pack(type, work_[type].data(), out);
  } else if (y > 0 && std::memcmp(cur, up, n) == 0) {
    // A row that repeats the one above, as much of a desktop does: Up gives
    // zeros only, which the estimate would choose too.
    out[0] = uint8_t(PngFilter::Up);
    std::memset(out + 1, 0, width_ * 3);
  } else {
    const int type = choose(cur, up);
    pack(type, work_[type].data(), out);
  }
}

}  // namespace lumora
