#include <gtest/gtest.h>

#include "capture/ColorDepth.h"

using namespace lumora;

namespace {

QRgb rgb(uint32_t rrggbb) { return 0xff000000u | rrggbb; }

TEST(Palettes, HalftoneHasTheSystemColoursAroundTheCube) {
  const QList<QRgb>& p = HalftonePalette();
  ASSERT_EQ(p.size(), 256);
  EXPECT_EQ(p[0], rgb(0x000000));
  EXPECT_EQ(p[7], rgb(0xc0c0c0));
  EXPECT_EQ(p[8], rgb(0xc0dcc0));
  EXPECT_EQ(p[9], rgb(0xa6caf0));
  EXPECT_EQ(p[10], rgb(0x402000));   // i = 10: R 2*0x20, G 1*0x20, B 0
  EXPECT_EQ(p[245], rgb(0xa0c0c0));  // i = 245: R 5*0x20, G 6*0x20, B 3*0x40
  EXPECT_EQ(p[246], rgb(0xfffbf0));
  EXPECT_EQ(p[248], rgb(0x808080));
  EXPECT_EQ(p[255], rgb(0xffffff));
}

TEST(Palettes, SixteenColoursInWindowsOrder) {
  const uint32_t expected[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
                                 0xc0c0c0, 0xff0000, 0x00ff00, 0xffff00, 0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};
  ASSERT_EQ(Vga16Palette().size(), 16);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(Vga16Palette()[i], rgb(expected[i])) << i;
}

TEST(ColorLookup, EveryPaletteColourMapsToItsOwnColour) {
  for (const QList<QRgb>* palette : {&Vga16Palette(), &HalftonePalette()}) {
    const ColorLookup lookup(*palette);
    for (QRgb c : *palette) EXPECT_EQ((*palette)[lookup.index(c)], c) << std::hex << c;
  }
}

TEST(ColorLookup, MatchesTheCellCentreAndBreaksTiesLow) {
  const ColorLookup vga(Vga16Palette());
  // (100, 100, 100) lies in the cell of (96..103); its centre (100, 100, 100)
  // is nearer to grey (128) than to black.
  EXPECT_EQ(vga.index(qRgb(96, 96, 96)), 7);
  EXPECT_EQ(vga.index(qRgb(103, 103, 103)), 7);
  // Black and maroon are equally far from (64, 0, 0); the lower index wins.
  EXPECT_EQ(ColorLookup::nearest(Vga16Palette(), 64, 0, 0), 0);
  // 0x44 and 0x3f sit in different cells: (68,4,4)->maroon, (60,4,4)->black.
  EXPECT_EQ(vga.index(qRgb(0x44, 0, 0)), 1);
  EXPECT_EQ(vga.index(qRgb(0x3f, 0, 0)), 0);
}

TEST(ConvertToDepth, BlackOrWhiteByChannelSum) {
  QImage in(4, 1, QImage::Format_RGB32);
  in.setPixel(0, 0, qRgb(127, 128, 128));  // 383: white
  in.setPixel(1, 0, qRgb(127, 128, 127));  // 382: black
  in.setPixel(2, 0, qRgb(255, 255, 0));    // 510: white
  in.setPixel(3, 0, qRgb(0, 0, 255));      // black
  const QImage out = ConvertToDepth(in, pf1Bit);
  ASSERT_EQ(out.format(), QImage::Format_Mono);
  ASSERT_EQ(out.colorTable(), BlackWhitePalette());
  EXPECT_EQ(out.pixelIndex(0, 0), 1);
  EXPECT_EQ(out.pixelIndex(1, 0), 0);
  EXPECT_EQ(out.pixelIndex(2, 0), 1);
  EXPECT_EQ(out.pixelIndex(3, 0), 0);
}

TEST(ConvertToDepth, SixteenBitsTruncateAndShowReplicated) {
  QImage in(1, 1, QImage::Format_RGB32);
  in.setPixel(0, 0, qRgb(0xff, 0x87, 0x0f));
  const QImage out = ConvertToDepth(in, pf16Bit);
  ASSERT_EQ(out.format(), QImage::Format_RGB16);
  const quint16 v = reinterpret_cast<const quint16*>(out.constScanLine(0))[0];
  EXPECT_EQ(v, (31 << 11) | (0x87 >> 2) << 5 | (0x0f >> 3));
  // What the clipboard hands on: the bits repeated into the low end.
  EXPECT_EQ(out.convertToFormat(QImage::Format_RGB32).pixel(0, 0), qRgb(0xff, 0x86, 0x08));
}

TEST(ConvertToDepth, FormatsPerCode) {
  const QImage in(5, 3, QImage::Format_RGB32);
  struct Case {
    uint8_t code;
    QImage::Format format;
    int colours;
  } cases[] = {{pf1Bit, QImage::Format_Mono, 2},    {pf4Bit, QImage::Format_Indexed8, 16},
               {pf8Bit, QImage::Format_Indexed8, 256}, {pf16Bit, QImage::Format_RGB16, 0},
               {pf24Bit, QImage::Format_RGB32, 0},   {pf32Bit, QImage::Format_RGB32, 0},
               {0, QImage::Format_RGB32, 0},         {4, QImage::Format_RGB32, 0}};
  for (const Case& c : cases) {
    const QImage out = ConvertToDepth(in, c.code);
    EXPECT_EQ(out.format(), c.format) << int(c.code);
    EXPECT_EQ(out.colorCount(), c.colours) << int(c.code);
    EXPECT_EQ(out.size(), in.size());
  }
}

}  // namespace
