#include <gtest/gtest.h>

#include "Fakes.h"
#include "raster/PixelOps.h"

using namespace lumora;

TEST(Stretch, IndicesFollowTheColourOnColourRule) {
  struct Case {
    int src, dst;
    bool rows;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {3, 10, false, {0, 0, 0, 1, 1, 1, 1, 2, 2, 2}},
      {3, 10, true, {0, 0, 0, 1, 1, 1, 1, 2, 2, 2}},
      {10, 3, false, {2, 6, 9}},
      {10, 3, true, {0, 3, 7}},
      {5, 5, false, {0, 1, 2, 3, 4}},
      {1, 4, true, {0, 0, 0, 0}},
      {4, 1, false, {2}},  // a single pixel counts the source one short
      {4, 1, true, {0}},
      {2, 1, false, {0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(stretchIndices(c.src, c.dst, c.rows), c.expected) << c.src << "->" << c.dst << " rows " << c.rows;
}

TEST(Stretch, ThumbnailOfOnePixelIsThatColourAndOfAPatternPicksSourcePixels) {
  QImage one(1, 1, QImage::Format_RGB32);
  one.setPixel(0, 0, qRgb(10, 20, 30));
  const QImage thumb = stretchColorOnColor(one, QSize(157, 124));
  ASSERT_EQ(thumb.size(), QSize(157, 124));
  for (int y = 0; y < 124; y += 17)
    for (int x = 0; x < 157; x += 13) ASSERT_EQ(thumb.pixel(x, y), qRgb(10, 20, 30));

  const QImage pattern = test::TestPattern(1024, 768);
  const QImage small = stretchColorOnColor(pattern, QSize(157, 124));
  const auto cols = stretchIndices(1024, 157, false);
  const auto rows = stretchIndices(768, 124, true);
  for (int y = 0; y < 124; ++y)
    for (int x = 0; x < 157; ++x) ASSERT_EQ(small.pixel(x, y), pattern.pixel(cols[x], rows[y])) << x << "," << y;
}
