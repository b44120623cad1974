#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "capture/BmpWriter.h"

namespace lumora {

// A compressed stream held in memory as a list of blocks, so that it grows
// without copying what it already holds.
class JpegStream {
 public:
  size_t size() const;
  // The whole stream in one piece (for tests; the writer never needs it).
  std::vector<uint8_t> bytes() const;

  struct Block {
    std::unique_ptr<uint8_t[]> data;
    size_t capacity = 0;
    size_t used = 0;
  };
  std::vector<Block> blocks;
};

// Encodes the picture as baseline JFIF through libjpeg: library defaults, the
// floating-point DCT, `quality` (1..100) with baseline tables, three YCbCr
// components. The rows are read straight from the 32-bit picture. Throws
// std::runtime_error with the library's message when the encoder fails.
JpegStream EncodeJpeg(const QImage& image, int quality);

// Encodes, then writes the stream to `path`. An encoder failure throws before
// the file is touched; a failed write keeps the old file.
WriteResult WriteJpeg(PublishTarget& target, const QImage& image, int quality);
inline WriteResult WriteJpeg(const QString& path, const QImage& image, int quality) {
  PublishTarget target{path, nullptr, {}};
  return WriteJpeg(target, image, quality);
}

}  // namespace lumora
