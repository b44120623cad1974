#include "capture/BmpWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <QtEndian>

#include "capture/ColorDepth.h"
#include "platform/fs/AtomicFile.h"

namespace lumora {

namespace {

void put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

uint8_t depthCode(int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1: return 1;
    case 4: return 2;
    case 8: return 3;
    case 16: return 5;
    case 32: return 7;
    default: return 6;
  }
}

bool hasFormatFor(const QImage& image, int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1: return image.format() == QImage::Format_Mono && image.colorCount() == 2;
    case 4: return image.format() == QImage::Format_Indexed8 && image.colorCount() == 16;
    case 8: return image.format() == QImage::Format_Indexed8 && image.colorCount() == 256;
    case 16: return image.format() == QImage::Format_RGB16;
    default: return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
  }
}

// One file row (without padding) from one picture row.
void packRow(uint8_t* out, const uchar* in, int width, int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1: {
      const int bytes = (width + 7) / 8;
      std::memcpy(out, in, size_t(bytes));
      if (width % 8) out[bytes - 1] &= uint8_t(0xff00 >> (width % 8));
      break;
    }
    case 4: {
      int x = 0;
      for (; x + 1 < width; x += 2) out[x / 2] = uint8_t((in[x] & 15) << 4 | (in[x + 1] & 15));
      if (x < width) out[x / 2] = uint8_t((in[x] & 15) << 4);
      break;
    }
    case 8:
      std::memcpy(out, in, size_t(width));
      break;
    case 16:
      if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        std::memcpy(out, in, size_t(width) * 2);
      } else {
        const quint16* px = reinterpret_cast<const quint16*>(in);
        for (int x = 0; x < width; ++x) put16(out + 2 * x, px[x]);
      }
      break;
    case 32: {
      const QRgb* px = reinterpret_cast<const QRgb*>(in);
      for (int x = 0; x < width; ++x) {
        const uint32_t v = qToLittleEndian(px[x] & 0x00ffffffu);  // B, G, R, then 0
        std::memcpy(out + 4 * x, &v, 4);
      }
      break;
    }
    default:
      PackBgr(out, reinterpret_cast<const QRgb*>(in), width);
  }
}

}  // namespace

void PackBgr(uint8_t* out, const QRgb* in, int width) {
  // A whole word per pixel, the next one overwriting its fourth byte: several
  // times faster than three byte stores, and as fast as reading the picture
  // allows. The last pixel goes byte by byte so that nothing lands past the row.
  int x = 0;
  for (; x + 1 < width; ++x) {
    const uint32_t v = qToLittleEndian(in[x]);
    std::memcpy(out + 3 * x, &v, 4);
  }
  for (; x < width; ++x) {
    out[3 * x] = uint8_t(qBlue(in[x]));
    out[3 * x + 1] = uint8_t(qGreen(in[x]));
    out[3 * x + 2] = uint8_t(qRed(in[x]));
  }
}

WriteResult WriteBmp(PublishTarget& target, const QImage& source, int bitsPerPixel) {
  if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 32)
    bitsPerPixel = 24;
  const QImage image = hasFormatFor(source, bitsPerPixel) ? source : ConvertToDepth(source, depthCode(bitsPerPixel));
  const uint64_t width = uint64_t(image.width());
  const uint64_t height = uint64_t(image.height());
  const uint64_t stride = (width * uint64_t(bitsPerPixel) + 31) / 32 * 4;
  const uint64_t imageSize = stride * height;
  const uint32_t colors = bitsPerPixel <= 8 ? uint32_t(image.colorCount()) : 0;
  const uint32_t extra = bitsPerPixel == 16 ? 12 : colors * 4;  // masks or colour table
  const uint32_t offset = 14 + 40 + extra;
  if (imageSize + offset > UINT32_MAX || width > INT32_MAX || height > INT32_MAX) return WriteResult::WriteFailed;

  std::vector<uint8_t> header(offset, 0);
  uint8_t* h = header.data();
  h[0] = 'B';                                  // bfType
  h[1] = 'M';
  put32(h + 2, uint32_t(offset + imageSize));  // bfSize; bfReserved1 and 2 stay 0
  put32(h + 10, offset);                       // bfOffBits
  put32(h + 14, 40);                           // biSize
  put32(h + 18, uint32_t(width));              // biWidth
  put32(h + 22, uint32_t(height));             // biHeight: positive, rows bottom-up
  put16(h + 26, 1);                            // biPlanes
  put16(h + 28, uint16_t(bitsPerPixel));       // biBitCount
  put32(h + 30, bitsPerPixel == 16 ? 3 : 0);   // biCompression: BI_BITFIELDS or BI_RGB
  put32(h + 34, uint32_t(imageSize));          // biSizeImage
  put32(h + 46, colors);                       // biClrUsed; pels per metre and biClrImportant stay 0
  if (bitsPerPixel == 16) {
    put32(h + 54, 0xf800);  // red mask
    put32(h + 58, 0x07e0);  // green mask
    put32(h + 62, 0x001f);  // blue mask
  }
  for (uint32_t i = 0; i < colors; ++i) {
    const QRgb c = image.color(int(i));
    uint8_t* e = h + 54 + 4 * i;  // RGBQUAD: blue, green, red, reserved
    e[0] = uint8_t(qBlue(c));
    e[1] = uint8_t(qGreen(c));
    e[2] = uint8_t(qRed(c));
  }

  AtomicFile file(target);
  if (!file.open()) return WriteResult::CannotCreate;
  file.write(header.data(), header.size());

  // Rows go out in chunks of about 1 MiB: no frame-sized buffer, few system calls.
  const int chunkRows = int(std::max<uint64_t>(1, (256u << 10) / std::max<uint64_t>(stride, 1)));
  std::vector<uint8_t> chunk(size_t(stride) * size_t(chunkRows), 0);
  for (int done = 0; done < int(height);) {
    const int rows = std::min(chunkRows, int(height) - done);
    for (int r = 0; r < rows; ++r) {
      const int y = int(height) - 1 - (done + r);
      packRow(chunk.data() + size_t(r) * stride, image.constScanLine(y), int(width), bitsPerPixel);
    }
    if (!file.write(chunk.data(), size_t(rows) * stride)) break;
    done += rows;
  }
  return file.commit() ? WriteResult::Ok : WriteResult::WriteFailed;
}

}  // namespace lumora
