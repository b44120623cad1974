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

TEST(BlendOver, PremultipliedSourceOverOpaqueDestinationRoundsToTheNearest) {
  const struct {
    uint8_t source, alpha, destination, want;
  } cases[] = {
      {0, 0, 200, 200},      // fully transparent: the destination stays
      {255, 255, 17, 255},   // opaque: the source alone
      {0, 255, 200, 0},      // opaque black
      {64, 128, 255, 191},   // 64 + 255 * 127 / 255 = 191
      {0, 128, 100, 50},     // 100 * 127 / 255 = 49.8
      {10, 1, 1, 11},        // 1 * 254 / 255 = 0.996
      {0, 254, 127, 0},      // 127 / 255 = 0.498
      {0, 254, 128, 1},      // 128 / 255 = 0.502
      {200, 100, 255, 255},  // not premultiplied: saturates instead of wrapping
  };
  for (const auto& c : cases)
    EXPECT_EQ(blendOver(c.source, c.alpha, c.destination), c.want)
        << int(c.source) << "/" << int(c.alpha) << " over " << int(c.destination);
}

TEST(BlendPremultiplied, DrawsAtThePlaceGivenAndLeavesOutWhatLiesOutside) {
  QImage target(4, 3, QImage::Format_RGB32);
  target.fill(qRgb(100, 100, 100));
  QImage pointer(2, 2, QImage::Format_ARGB32_Premultiplied);
  pointer.fill(Qt::transparent);
  pointer.setPixel(0, 0, qRgba(255, 0, 0, 255));
  pointer.setPixel(1, 1, qRgba(0, 0, 64, 128));
  // Its top-left pixel lies off the picture; only the bottom-right one lands, at (0, 0).
  blendPremultiplied(target, pointer, QPoint(-1, -1));
  EXPECT_EQ(target.pixel(0, 0), qRgb(50, 50, 114));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      if (x || y) EXPECT_EQ(target.pixel(x, y), qRgb(100, 100, 100)) << x << "," << y;
  blendPremultiplied(target, pointer, QPoint(3, 2));
  EXPECT_EQ(target.pixel(3, 2), qRgb(255, 0, 0));
}
