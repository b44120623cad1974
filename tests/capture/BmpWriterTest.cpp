#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "Fakes.h"
#include "SaverTestUtil.h"
#include "capture/BmpWriter.h"
#include "capture/ColorDepth.h"

using namespace lumora;
using namespace lumora::test;

namespace {

struct BmpCase {
  uint8_t code;
  int bits;
  uint32_t compression;
  uint32_t colours;     // colour table entries
  QByteArray extra;     // the masks or the colour table, when short enough to spell out
  QByteArray pixels;    // the rows of KnownColours(), bottom row first, padded
};

std::vector<BmpCase> bmpCases() {
  return {
      {pf1Bit, 1, 0, 2, Bytes({0, 0, 0, 0, 255, 255, 255, 0}), Bytes({0x20, 0, 0, 0, 0x40, 0, 0, 0})},
      // red 9, white 15, dark 0 / black 0, blue 12, silver 8
      {pf4Bit, 4, 0, 16, {}, Bytes({0x0c, 0x80, 0, 0, 0x9f, 0x00, 0, 0})},
      // red 249, white 255, dark 0 / black 0, blue 252, silver 7
      {pf8Bit, 8, 0, 256, {}, Bytes({0x00, 0xfc, 0x07, 0, 0xf9, 0xff, 0x00, 0})},
      {pf16Bit, 16, 3, 0, Bytes({0, 0xf8, 0, 0, 0xe0, 0x07, 0, 0, 0x1f, 0, 0, 0}),
       Bytes({0x00, 0x00, 0x1f, 0x00, 0x18, 0xc6, 0, 0, 0x00, 0xf8, 0xff, 0xff, 0xa3, 0x08, 0, 0})},
      {pf24Bit, 24, 0, 0, {},
       Bytes({0, 0, 0, 0xff, 0, 0, 0xc0, 0xc0, 0xc0, 0, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 0x1e, 0x14, 0x0a, 0, 0, 0})},
      {pf32Bit, 32, 0, 0, {},
       Bytes({0, 0, 0, 0, 0xff, 0, 0, 0, 0xc0, 0xc0, 0xc0, 0, 0, 0, 0xff, 0, 0xff, 0xff, 0xff, 0, 0x1e, 0x14, 0x0a, 0})},
  };
}

TEST(WriteBmp, ExactBytesAtEveryDepth) {
  QTemporaryDir dir;
  for (const BmpCase& c : bmpCases()) {
    SCOPED_TRACE(c.bits);
    const QString path = dir.filePath(QStringLiteral("k%1.bmp").arg(c.bits));
    ASSERT_EQ(WriteBmp(path, ConvertToDepth(KnownColours(), c.code), c.bits), WriteResult::Ok);
    const QByteArray f = ReadAll(path);
    const uint32_t extra = c.bits == 16 ? 12 : c.colours * 4;
    const uint32_t offset = 54 + extra;
    ASSERT_EQ(f.size(), int(offset) + c.pixels.size());
    EXPECT_EQ(f.left(2), QByteArray("BM"));
    EXPECT_EQ(Le32(f, 2), uint32_t(f.size()));
    EXPECT_EQ(Le32(f, 6), 0u);  // reserved
    EXPECT_EQ(Le32(f, 10), offset);
    EXPECT_EQ(Le32(f, 14), 40u);
    EXPECT_EQ(Le32(f, 18), 3u);
    EXPECT_EQ(Le32(f, 22), 2u);  // positive: bottom-up
    EXPECT_EQ(Le16(f, 26), 1);
    EXPECT_EQ(Le16(f, 28), c.bits);
    EXPECT_EQ(Le32(f, 30), c.compression);
    EXPECT_EQ(Le32(f, 34), uint32_t(c.pixels.size()));
    EXPECT_EQ(Le32(f, 38), 0u);
    EXPECT_EQ(Le32(f, 42), 0u);
    EXPECT_EQ(Le32(f, 46), c.colours);
    EXPECT_EQ(Le32(f, 50), 0u);
    if (!c.extra.isEmpty()) {
      EXPECT_EQ(f.mid(54, int(extra)).toHex(' '), c.extra.toHex(' '));
    }
    EXPECT_EQ(f.mid(int(offset)).toHex(' '), c.pixels.toHex(' '));
  }
}

TEST(WriteBmp, ColourTablesAreThePalettesAsBlueGreenRedZero) {
  QTemporaryDir dir;
  for (auto [code, bits, palette] : {std::tuple{pf4Bit, 4, &Vga16Palette()}, {pf8Bit, 8, &HalftonePalette()}}) {
    const QString path = dir.filePath(QStringLiteral("t.bmp"));
    ASSERT_EQ(WriteBmp(path, ConvertToDepth(KnownColours(), code), bits), WriteResult::Ok);
    const QByteArray f = ReadAll(path);
    for (int i = 0; i < palette->size(); ++i) {
      const QRgb c = (*palette)[i];
      EXPECT_EQ(f.mid(54 + 4 * i, 4), Bytes({qBlue(c), qGreen(c), qRed(c), 0})) << bits << " entry " << i;
    }
  }
}

TEST(WriteBmp, OddWidthsPadEveryRowWithZeros) {
  QTemporaryDir dir;
  // 1 bit at 9 pixels needs 2 bytes, padded to 4; the bits past the picture are 0.
  QImage white(9, 2, QImage::Format_RGB32);
  white.fill(Qt::white);
  const QString path = dir.filePath(QStringLiteral("w.bmp"));
  ASSERT_EQ(WriteBmp(path, ConvertToDepth(white, pf1Bit), 1), WriteResult::Ok);
  EXPECT_EQ(ReadAll(path).mid(62), Bytes({0xff, 0x80, 0, 0, 0xff, 0x80, 0, 0}));
  // 4 bits at 5 pixels: 3 bytes, the last low nibble empty.
  ASSERT_EQ(WriteBmp(path, ConvertToDepth(white.copy(0, 0, 5, 1), pf4Bit), 4), WriteResult::Ok);
  EXPECT_EQ(ReadAll(path).mid(118), Bytes({0xff, 0xff, 0xf0, 0}));
}

TEST(WriteBmp, IndependentDecoderReadsEveryDepth) {
  QTemporaryDir dir;
  const QImage pattern = TestPattern(37, 11);
  for (const BmpCase& c : bmpCases()) {
    SCOPED_TRACE(c.bits);
    const QImage converted = ConvertToDepth(pattern, c.code);
    const QString path = dir.filePath(QStringLiteral("p%1.bmp").arg(c.bits));
    ASSERT_EQ(WriteBmp(path, converted, c.bits), WriteResult::Ok);
    const QImage decoded = DecodeWithImageMagick(path);
    ASSERT_EQ(decoded.size(), pattern.size());
    const QImage shown = converted.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < pattern.height(); ++y)
      for (int x = 0; x < pattern.width(); ++x) {
        const QRgb d = decoded.pixel(x, y), e = shown.pixel(x, y);
        if (c.bits == 16) {
          // Decoders differ in how they widen 5 and 6 bits; the kept bits must agree.
          ASSERT_EQ(qRed(d) >> 3, qRed(e) >> 3) << x << "," << y;
          ASSERT_EQ(qGreen(d) >> 2, qGreen(e) >> 2) << x << "," << y;
          ASSERT_EQ(qBlue(d) >> 3, qBlue(e) >> 3) << x << "," << y;
        } else {
          ASSERT_EQ(d, e) << x << "," << y;
        }
      }
    if (c.bits >= 24) {
      EXPECT_EQ(decoded, pattern);
    }
  }
}

}  // namespace
