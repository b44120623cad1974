#include <gtest/gtest.h>

#include "Fakes.h"
#include "raster/MaskOps.h"

using namespace lumora;

namespace {

// Every pixel inside [l, r) x [t, b) is ANDed with `color`, every other one kept.
void ExpectMasked(const QImage& before, const QImage& after, QRect inside, QRgb color) {
  ASSERT_EQ(after.size(), before.size());
  for (int y = 0; y < before.height(); ++y)
    for (int x = 0; x < before.width(); ++x) {
      const QRgb want = inside.contains(x, y) ? (before.pixel(x, y) & (color | 0xff000000u)) : before.pixel(x, y);
      ASSERT_EQ(after.pixel(x, y), want) << x << "," << y;
    }
}

}  // namespace

TEST(MaskFillRect, AndsTheRectangleWithRightAndBottomExclusive) {
  struct Case {
    const char* what;
    int l, t, r, b;
    QRect inside;  // what must change
  };
  const Case cases[] = {
      {"plain", 2, 3, 7, 5, QRect(2, 3, 5, 2)},
      {"corners the wrong way round", 7, 5, 2, 3, QRect(2, 3, 5, 2)},
      {"reaching past every edge", -4, -4, 40, 40, QRect(0, 0, 10, 8)},
      {"one pixel", 9, 7, 10, 8, QRect(9, 7, 1, 1)},
      {"no width", 3, 1, 3, 6, QRect()},
      {"no height", 1, 4, 6, 4, QRect()},
      {"wholly left of the picture", -9, 0, -1, 8, QRect()},
      {"wholly below the picture", 0, 8, 10, 30, QRect()},
  };
  const QImage pattern = test::TestPattern(10, 8);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QImage image = pattern;
    MaskFillRect(image, c.l, c.t, c.r, c.b, qRgb(179, 0, 0));
    ExpectMasked(pattern, image, c.inside, qRgb(179, 0, 0));
  }
}

TEST(MaskFillRect, KeepsAlphaAndConvertsOtherFormats) {
  QImage argb(4, 4, QImage::Format_ARGB32);
  argb.fill(qRgba(200, 100, 50, 128));
  MaskFillRect(argb, QRect(0, 0, 2, 4), qRgb(255, 0, 255));
  EXPECT_EQ(argb.pixel(0, 0), qRgba(200, 0, 50, 128));
  EXPECT_EQ(argb.pixel(3, 0), qRgba(200, 100, 50, 128));

  QImage rgb888(4, 4, QImage::Format_RGB888);
  rgb888.fill(QColor(0xf0, 0x0f, 0xff));
  MaskFillRect(rgb888, 1, 1, 3, 3, qRgb(0x3c, 0xff, 0x00));
  EXPECT_EQ(rgb888.format(), QImage::Format_RGB32);
  EXPECT_EQ(rgb888.pixel(1, 1), qRgb(0x30, 0x0f, 0x00));
  EXPECT_EQ(rgb888.pixel(0, 0), qRgb(0xf0, 0x0f, 0xff));

  QImage null;
  MaskFillRect(null, 0, 0, 5, 5, qRgb(1, 2, 3));
  EXPECT_TRUE(null.isNull());
}
