#include <gtest/gtest.h>

#include "Fakes.h"
#include "raster/PixelOps.h"
#include "selection/MagnifierLogic.h"

using lumora::MagnifierLogic;
using lumora::stretchIndices;
using lumora::test::TestPattern;

namespace {

QRgb inverted(QRgb c) { return ~c | 0xff000000u; }

TEST(Magnifier, ZoomLevelsShowTheSquareAroundThePointer) {
  struct Case { MagnifierLogic::Zoom zoom; int divisor, half; };
  const Case cases[] = {{MagnifierLogic::Zoom::X2, 6, 23}, {MagnifierLogic::Zoom::X4, 10, 14},
                        {MagnifierLogic::Zoom::X8, 20, 7}};
  const QImage source = TestPattern(400, 300);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.divisor);
    MagnifierLogic m(source.size());
    m.setZoom(c.zoom);
    EXPECT_EQ(m.ZoomDivisor(), c.divisor);
    const int x = 200, y = 150;
    m.UpdateMagnifier(x, y, source, 0);
    const QImage& lupe = m.Lupe();
    ASSERT_EQ(lupe.size(), QSize(98, 98));
    const std::vector<int> cols = stretchIndices(2 * c.half, 98, false);
    const std::vector<int> rows = stretchIndices(2 * c.half, 98, true);
    for (int j = 0; j < 98; ++j)
      for (int i = 0; i < 98; ++i) {
        const QRgb want = source.pixel(x - c.half + cols[size_t(i)], y - c.half + rows[size_t(j)]);
        const bool arm = (j == 49 && i >= 43 && i <= 55) != (i == 49 && j >= 43 && j <= 55);
        ASSERT_EQ(lupe.pixel(i, j), arm ? inverted(want) : want) << i << "," << j;
      }
    EXPECT_EQ(lupe.pixel(49, 49), source.pixel(x, y)) << "the pointer's pixel is the centre";
    EXPECT_NE(lupe.pixel(42, 49), inverted(source.pixel(x - c.half + cols[42], y))) << "the arm ends at 43";
  }
}

TEST(Magnifier, ThePartOffTheScreenIsBlack) {
  const QImage source = TestPattern(100, 100);
  MagnifierLogic m(source.size());
  m.UpdateMagnifier(0, 99, source, 0);
  EXPECT_EQ(m.Lupe().pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_EQ(m.Lupe().pixel(97, 97), qRgb(0, 0, 0));
  EXPECT_EQ(m.Lupe().pixel(97, 0), source.pixel(13, 85));
}

TEST(Magnifier, AZoomChangeWaitsForTheNextMove) {
  const QImage source = TestPattern(200, 200);
  MagnifierLogic m(source.size());
  m.UpdateMagnifier(100, 100, source, 0);
  const QImage before = m.Lupe();
  m.setZoom(MagnifierLogic::Zoom::X8);
  EXPECT_EQ(m.Lupe(), before);
  m.UpdateMagnifier(100, 100, source, 0);
  EXPECT_NE(m.Lupe(), before);
}

TEST(Magnifier, FixedSizeStaysWithinTheScreen) {
  struct Case { QSize screen; int setW, setH, w, h; };
  const Case cases[] = {{{1024, 768}, 0, -5, 1, 1},        {{1024, 768}, 5000, 5000, 1024, 768},
                        {{1024, 768}, 300, 200, 300, 200}, {{600, 400}, 640, 480, 600, 400}};
  for (const Case& c : cases) {
    MagnifierLogic m(c.screen);
    m.setFixedWidth(c.setW);
    m.setFixedHeight(c.setH);
    EXPECT_EQ(m.FixedSize(), QSize(c.w, c.h));
  }
  EXPECT_EQ(MagnifierLogic(QSize(1024, 768)).FixedSize(), QSize(640, 480));
  EXPECT_EQ(MagnifierLogic(QSize(600, 400)).FixedSize(), QSize(600, 400)) << "the start values are held in range";
}

}  // namespace
