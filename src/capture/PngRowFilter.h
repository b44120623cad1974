#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumora {

// The row filters of the PNG format, by their type byte, and Adaptive: each row
// gets the one of the five that suits it best.
enum class PngFilter : uint8_t { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4, Adaptive = 5 };

// Filters rows of a 32-bit picture (Format_RGB32 or ARGB32) into the format's
// rows: the filter's type byte, then red, green and blue of each pixel. Each byte
// of a pixel is filtered against the same byte of its neighbours, so the work
// runs on whole 32-bit pixels and drops the fourth byte only when packing. A row
// depends on itself and the row above only, so a band of rows comes out the
// same wherever it starts.
class PngRowFilter {
 public:
  PngRowFilter(const QImage& image, PngFilter filter);

  // Writes the format's row y, size() bytes, to `out`.
  void write(int y, uint8_t* out);
  size_t size() const { return 1 + width_ * 3; }

 private:
  int choose(const uint8_t* cur, const uint8_t* up);
  void pack(int type, const uint8_t* filtered, uint8_t* out) const;

  const QImage& image_;
  const PngFilter filter_;
  const size_t width_;
  std::vector<uint8_t> work_[5];  // a row filtered each way, 4 bytes per pixel
  const std::vector<uint8_t> zero_;
  std::vector<float> xlogx_;  // c * log2(c) for every count a row can reach
};

}  // namespace lumora
