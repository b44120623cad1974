#include "capture/Caption.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>
#include <set>

#include "Fakes.h"

namespace lumora {
namespace {

constexpr TColor kRed = 0x0000FF;    // 0x00BBGGRR
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kWhite = 0xFFFFFF;

tBeschriftung caption(uint8_t position, const QString& text = QString()) {
  tBeschriftung c;
  c.Text = text;
  c.BackColor = kRed;
  c.TextColor = kWhite;
  c.FontName = QStringLiteral("Arial");
  c.FontSize = 14;
  c.Position = position;
  return c;
}

struct BandCase {
  int height;
  uint8_t position;
  int firstRow, lastRow;  // inclusive
};

TEST(CaptionTest, TheBandCoversItsRowsInBackColorAndNothingElse) {
  const BandCase cases[] = {
      {768, tpOben, 0, 19},   {768, tpMitte, 374, 393}, {768, tpUnten, 748, 767},
      {20, tpOben, 0, 19},    {20, tpMitte, 0, 19},     {20, tpUnten, 0, 19},
      {1, tpOben, 0, 0},      {1, tpMitte, 0, 0},       {1, tpUnten, 0, 0},
      {768, 7, 0, 19},  // an unknown position counts as the top
  };
  test::FixedClock clock;
  for (const BandCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "height " << c.height << " position " << int(c.position));
    const QImage before = test::TestPattern(40, c.height);
    QImage picture = before;
    DrawCaption(picture, caption(c.position), clock);
    ASSERT_EQ(picture.size(), before.size());
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < picture.width(); ++x) {
        const bool inBand = y >= c.firstRow && y <= c.lastRow;
        const QRgb expected = inBand ? qRgb(255, 0, 0) : before.pixel(x, y);
        ASSERT_EQ(picture.pixel(x, y), expected) << "x " << x << " y " << y;
      }
  }
}

TEST(CaptionTest, BandPlacementFollowsThePictureHeight) {
  tBeschriftung c = caption(tpMitte);
  c.FontSize = 24;  // band 30
  EXPECT_EQ(CaptionBandFor(c, 768).top, 384 - 15);
  EXPECT_EQ(CaptionBandFor(c, 29).top, 0);
  c.Position = tpUnten;
  EXPECT_EQ(CaptionBandFor(c, 30).top, 0);
  EXPECT_EQ(CaptionBandFor(c, 10).top, 0);
  EXPECT_EQ(CaptionBandFor(c, 10).height, 30);
}

// The rows and columns that hold text-coloured pixels.
QRect textBounds(const QImage& picture, QRgb textColor) {
  QRect r;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      if (picture.pixel(x, y) == textColor) r |= QRect(x, y, 1, 1);
  return r;
}

TEST(CaptionTest, OpaqueTextSitsInsideTheBandInTwoColours) {
  test::FixedClock clock;
  for (uint8_t size = 8; size <= 24; size += 2) {
    // Accents may reach above the cell; the band keeps three rows for them.
    for (const QString& words : {QStringLiteral("Ausgabetext gjpqy"), QStringLiteral("ÄÖÜ Ausgabetext")}) {
      SCOPED_TRACE(testing::Message() << "FontSize " << int(size) << " " << words.toStdString());
      tBeschriftung c = caption(tpUnten, words);
      c.FontSize = size;
      QImage picture = test::TestPattern(300, 200);
      DrawCaption(picture, c, clock);
      const int top = 200 - (size + 6);
      std::set<QRgb> colours;
      for (int y = top; y < 200; ++y)
        for (int x = 0; x < 300; ++x) colours.insert(picture.pixel(x, y));
      EXPECT_EQ(colours, (std::set<QRgb>{qRgb(255, 0, 0), qRgb(255, 255, 255)}));
      if (words.startsWith(QLatin1Char('A'))) {
        const QRect text = textBounds(picture, qRgb(255, 255, 255));
        EXPECT_GE(text.left(), 2);
        EXPECT_GE(text.top(), top + 3);
        EXPECT_LT(text.bottom(), top + 3 + size);
      }
    }
  }
}

TEST(CaptionTest, TransparentTextChangesOnlyGlyphPixels) {
  test::FixedClock clock;
  for (uint8_t position : {tpOben, tpMitte, tpUnten}) {
    SCOPED_TRACE(int(position));
    tBeschriftung c = caption(position, QStringLiteral("Ausgabetext WMW"));
    c.Transparent = true;
    c.TextColor = kBlue;
    c.BackColor = kBlue;
    const QImage before = test::TestPattern(200, 60);
    QImage picture = before;
    DrawCaption(picture, c, clock);
    int changed = 0;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x)
        if (picture.pixel(x, y) != before.pixel(x, y)) {
          ++changed;
          ASSERT_EQ(picture.pixel(x, y), qRgb(0, 0, 255)) << x << "," << y;
        }
    EXPECT_GT(changed, 20);
  }
}

TEST(CaptionTest, TextWiderThanThePictureIsCutAtTheEdge) {
  test::FixedClock clock;
  QImage picture = test::TestPattern(30, 50);
  DrawCaption(picture, caption(tpOben, QString(200, QLatin1Char('W'))), clock);
  EXPECT_EQ(picture.size(), QSize(30, 50));
  EXPECT_EQ(textBounds(picture, qRgb(255, 255, 255)).right(), 29);
  EXPECT_EQ(picture.pixel(0, 20), test::TestPattern(30, 50).pixel(0, 20));
}

TEST(CaptionTest, DateAndTimeComeInFrontOfTheText) {
  test::FixedClock clock;
  tBeschriftung c = caption(tpOben, QStringLiteral("Ausgabetext"));
  EXPECT_EQ(CaptionText(c, clock), QStringLiteral("Ausgabetext"));
  c.Zeiteinblenden = true;
  EXPECT_EQ(CaptionText(c, clock), QStringLiteral("06.12.2026 - 14:05:09   |   Ausgabetext"));
  c.Text.clear();
  EXPECT_EQ(CaptionText(c, clock), QStringLiteral("06.12.2026 - 14:05:09   |   "));
}

TEST(CaptionTest, TheFontCellIsTheLargestThatFitsTheSize) {
  for (int size = 8; size <= 24; size += 2) {
    SCOPED_TRACE(size);
    QFont font = CaptionFont(QStringLiteral("Arial"), size);
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(font.styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
    const QFontMetrics metrics(font);
    EXPECT_LE(metrics.ascent() + metrics.descent(), size);
    font.setPixelSize(font.pixelSize() + 1);
    const QFontMetrics larger(font);
    EXPECT_GT(larger.ascent() + larger.descent(), size);
  }
}

}  // namespace
}  // namespace lumora
