#include "capture/ColorDepth.h"

#include <algorithm>
#include <climits>
#include <new>

namespace lumora {

namespace {

QList<QRgb> makeHalftone() {
  static constexpr QRgb kLow[10] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                    0x800080, 0x008080, 0xc0c0c0, 0xc0dcc0, 0xa6caf0};
  static constexpr QRgb kHigh[10] = {0xfffbf0, 0xa0a0a4, 0x808080, 0xff0000, 0x00ff00,
                                     0xffff00, 0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};
  QList<QRgb> palette;
  palette.reserve(256);
  for (QRgb c : kLow) palette.append(0xff000000u | c);
  for (int i = 10; i < 246; ++i) {
    // An 8 x 8 x 4 colour cube fills the middle.
    const int r = (i & 7) * 0x20, g = ((i >> 3) & 7) * 0x20, b = (i >> 6) * 0x40;
    palette.append(qRgb(r, g, b));
  }
  for (QRgb c : kHigh) palette.append(0xff000000u | c);
  return palette;
}

const ColorLookup& vga16Lookup() {
  static const ColorLookup lookup(Vga16Palette());
  return lookup;
}

const ColorLookup& halftoneLookup() {
  static const ColorLookup lookup(HalftonePalette());
  return lookup;
}

QImage toIndexed(const QImage& source, const QList<QRgb>& palette, const ColorLookup& lookup) {
  QImage out(source.size(), QImage::Format_Indexed8);
  if (out.isNull()) throw std::bad_alloc();
  out.setColorTable(palette);
  const int width = source.width();
  for (int y = 0; y < source.height(); ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    uchar* dst = out.scanLine(y);
    for (int x = 0; x < width; ++x) dst[x] = lookup.index(in[x]);
  }
  return out;
}

QImage toBlackWhite(const QImage& source) {
  QImage out(source.size(), QImage::Format_Mono);
  if (out.isNull()) throw std::bad_alloc();
  out.setColorTable(BlackWhitePalette());
  const int width = source.width();
  for (int y = 0; y < source.height(); ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    uchar* dst = out.scanLine(y);
    // Whole bytes, so the bits past the last pixel are zero rather than left over.
    for (int x0 = 0; x0 < width; x0 += 8) {
      uint8_t byte = 0;
      const int n = std::min(8, width - x0);
      for (int k = 0; k < n; ++k) {
        const QRgb p = in[x0 + k];
        // The nearer of black and white by squared distance.
        const bool white = qRed(p) + qGreen(p) + qBlue(p) >= 383;
        byte |= uint8_t(white) << (7 - k);
      }
      dst[x0 >> 3] = byte;
    }
  }
  return out;
}

QImage to565(const QImage& source) {
  QImage out(source.size(), QImage::Format_RGB16);
  if (out.isNull()) throw std::bad_alloc();
  const int width = source.width();
  for (int y = 0; y < source.height(); ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    quint16* dst = reinterpret_cast<quint16*>(out.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const QRgb p = in[x];
      dst[x] = quint16(((p >> 8) & 0xf800) | ((p >> 5) & 0x07e0) | ((p >> 3) & 0x001f));
    }
  }
  return out;
}

}  // namespace

const QList<QRgb>& BlackWhitePalette() {
  static const QList<QRgb> palette{qRgb(0, 0, 0), qRgb(255, 255, 255)};
  return palette;
}

const QList<QRgb>& Vga16Palette() {
  static const QList<QRgb> palette{
      qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
      qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
      qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
      qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
  return palette;
}

const QList<QRgb>& HalftonePalette() {
  static const QList<QRgb> palette = makeHalftone();
  return palette;
}

int ColorLookup::nearest(const QList<QRgb>& palette, int r, int g, int b) {
  int best = 0;
  int bestDistance = INT32_MAX;
  for (int i = 0; i < palette.size(); ++i) {
    const int dr = qRed(palette[i]) - r, dg = qGreen(palette[i]) - g, db = qBlue(palette[i]) - b;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

ColorLookup::ColorLookup(const QList<QRgb>& palette) {
  for (int cell = 0; cell < 32768; ++cell) {
    const int r = ((cell >> 10) & 31) * 8 + 4, g = ((cell >> 5) & 31) * 8 + 4, b = (cell & 31) * 8 + 4;
    table_[size_t(cell)] = uint8_t(nearest(palette, r, g, b));
  }
}

int BitsPerPixel(uint8_t bmpBit) {
  switch (bmpBit) {
    case 1: return 1;
    case 2: return 4;
    case 3: return 8;
    case 5: return 16;
    case 7: return 32;
    default: return 24;
  }
}

QImage ConvertToDepth(const QImage& picture, uint8_t bmpBit) {
  const QImage source = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                            ? picture
                            : picture.convertToFormat(QImage::Format_RGB32);
  switch (BitsPerPixel(bmpBit)) {
    case 1: return toBlackWhite(source);
    case 4: return toIndexed(source, Vga16Palette(), vga16Lookup());
    case 8: return toIndexed(source, HalftonePalette(), halftoneLookup());
    case 16: return to565(source);
    default: return source;
  }
}

}  // namespace lumora
