#include "capture/BmpWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/AtomicFile.h"

namespace lumora {

namespace {

void put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// Packs BGRX pixels into BGR triples.
void packRow24(uint8_t* out, const uint8_t* in, int width) {
  for (int x = 0; x < width; ++x, in += 4, out += 3) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
  }
}

}  // namespace

WriteResult WriteBmp24(const QString& path, const QImage& source) {
  const QImage image = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);
  const uint32_t width = uint32_t(image.width());
  const uint32_t height = uint32_t(image.height());
  const uint64_t stride = (uint64_t(width) * 3 + 3) & ~uint64_t(3);
  const uint64_t imageSize = stride * height;
  const uint32_t offset = 14 + 40;
  if (imageSize + offset > UINT32_MAX) return WriteResult::WriteFailed;

  uint8_t header[offset] = {};
  header[0] = 'B';                                  // bfType
  header[1] = 'M';
  put32(header + 2, uint32_t(offset + imageSize));  // bfSize
  put32(header + 10, offset);                       // bfOffBits
  put32(header + 14, 40);                           // biSize
  put32(header + 18, width);                        // biWidth
  put32(header + 22, height);                       // biHeight: positive, rows bottom-up
  put16(header + 26, 1);                            // biPlanes
  put16(header + 28, 24);                           // biBitCount
  put32(header + 30, 0);                            // biCompression: BI_RGB
  put32(header + 34, uint32_t(imageSize));          // biSizeImage

  AtomicFile file(path);
  if (!file.open()) return WriteResult::CannotCreate;
  file.write(header, sizeof header);

  // Rows go out in chunks of about 1 MiB: no frame-sized buffer, few system calls.
  const int chunkRows = int(std::max<uint64_t>(1, (1u << 20) / std::max<uint64_t>(stride, 1)));
  std::vector<uint8_t> chunk(size_t(stride) * size_t(chunkRows), 0);
  for (int done = 0; done < int(height);) {
    const int rows = std::min(chunkRows, int(height) - done);
    for (int r = 0; r < rows; ++r) {
      const int y = int(height) - 1 - (done + r);
      packRow24(chunk.data() + size_t(r) * stride, image.constScanLine(y), int(width));
    }
    if (!file.write(chunk.data(), size_t(rows) * stride)) break;
    done += rows;
  }
  return file.commit() ? WriteResult::Ok : WriteResult::WriteFailed;
}

}  // namespace lumora
