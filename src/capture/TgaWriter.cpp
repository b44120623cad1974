#include "capture/TgaWriter.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/fs/AtomicFile.h"

namespace lumora {

namespace {

void put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

}  // namespace

WriteResult WriteTga(PublishTarget& target, const QImage& source) {
  // The header's 16-bit fields cannot describe a larger picture.
  if (source.width() > 65535 || source.height() > 65535) return WriteResult::WriteFailed;
  const QImage image = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);
  const int width = image.width();
  const int height = image.height();

  uint8_t header[19] = {};
  header[0] = 1;                      // image ID length
  header[1] = 0;                      // colour map type: none
  header[2] = 2;                      // image type: uncompressed true colour
  header[7] = 24;                     // colour map entry size, set although there is no map
  put16(header + 12, uint16_t(width));
  put16(header + 14, uint16_t(height));
  header[16] = 24;                    // pixel depth
  header[17] = 0x20;                  // first row is the top row, no alpha bits
  header[18] = 0x1a;                  // the image ID

  AtomicFile file(target);
  if (!file.open()) return WriteResult::CannotCreate;
  file.write(header, sizeof header);

  const size_t rowBytes = size_t(width) * 3;
  const int chunkRows = int(std::max<size_t>(1, (size_t(256) << 10) / std::max<size_t>(rowBytes, 1)));
  std::vector<uint8_t> chunk(rowBytes * size_t(chunkRows));
  for (int done = 0; done < height;) {
    const int rows = std::min(chunkRows, height - done);
    uint8_t* out = chunk.data();
    for (int r = 0; r < rows; ++r, out += rowBytes)
      PackBgr(out, reinterpret_cast<const QRgb*>(image.constScanLine(done + r)), width);
    if (!file.write(chunk.data(), size_t(rows) * rowBytes)) break;
    done += rows;
  }
  return file.commit() ? WriteResult::Ok : WriteResult::WriteFailed;
}

}  // namespace lumora
