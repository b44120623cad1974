#pragma once

#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "capture/BmpWriter.h"

namespace lumora {

// How the picture data of a PNG is compressed. The defaults were chosen by
// measurement on desktop and photo pictures (bench/PngBench.cpp); the benchmark
// and the tests vary them.
struct PngOptions {
  // The row filters of the format, by their type byte.
  enum class Filter : uint8_t { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4 };
  Filter filter = Filter::Paeth;
  int level = 4;     // zlib level 1..9
  int strategy = 1;  // zlib strategy: Z_FILTERED, fewer short matches between filtered bytes
  // Bands whose filtered bytes are less than this share zeros (photographs,
  // noise) go with `noisyStrategy` instead: there, repeated strings are rare and
  // runs plus Huffman codes are both faster and smaller. 0 turns this off.
  double noisyBelow = 0.75;
  int noisyStrategy = 3;  // Z_RLE
  // Rows are compressed in bands of about this many filtered bytes, each band on
  // its own and all of them at once on several cores; together they form one
  // zlib stream. The bands depend on the picture alone, so the file does too.
  size_t bandBytes = size_t(1) << 20;
  // Threads that compress bands; 0 takes one per core the process may use.
  int workers = 0;
};

// Encodes the picture as a PNG file in memory: the signature, IHDR for 24-bit
// RGB (colour type 2, 8 bits per channel, not interlaced), pHYs of 96 dpi
// (3780 pixels per metre), the picture data in IDAT chunks, IEND. The rows are
// filtered straight from the 32-bit picture; no 24-bit copy of it is made.
// Throws std::runtime_error when the library refuses the picture and
// std::bad_alloc when memory runs out.
std::vector<uint8_t> EncodePng(const QImage& image, const PngOptions& options = {});

// Encodes, then writes the file in one go. An encoder failure throws before the
// file is touched; a failed write keeps the old file.
WriteResult WritePng(PublishTarget& target, const QImage& image);
inline WriteResult WritePng(const QString& path, const QImage& image) {
  PublishTarget target{path, nullptr, {}};
  return WritePng(target, image);
}

}  // namespace lumora
