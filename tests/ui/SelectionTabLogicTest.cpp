#include <gtest/gtest.h>

#include <climits>

#include "Fakes.h"
#include "ui/SelectionTabLogic.h"

namespace lumora {
namespace {

SelectionSettings Rect(int32_t l, int32_t t, int32_t r, int32_t b) {
  SelectionSettings s;
  s.Sel_Left = l;
  s.Sel_Top = t;
  s.Sel_Right = r;
  s.Sel_Bottom = b;
  return s;
}

// Pixels inside one of the bands are the thumbnail's AND red 179; all others
// keep their colours.
void ExpectTinted(const QImage& thumb, const QImage& preview, const std::vector<QRect>& bands) {
  ASSERT_EQ(preview.size(), thumb.size());
  for (int y = 0; y < thumb.height(); ++y)
    for (int x = 0; x < thumb.width(); ++x) {
      bool tinted = false;
      for (const QRect& band : bands) tinted = tinted || band.contains(x, y);
      const QRgb want = tinted ? (thumb.pixel(x, y) & 0xffb30000u) : thumb.pixel(x, y);
      ASSERT_EQ(preview.pixel(x, y), want) << x << "," << y;
    }
}

TEST(SelectionLogic, TheExampleSelectionOnA1280x1024Screen) {
  Settings s;
  s.Auswahl = Rect(100, 50, 740, 530);
  SelectionTabLogic logic(s);
  const SelectionInfoTexts t = logic.ShowSelectionInfo();
  EXPECT_EQ(t.sizeX, QStringLiteral("640"));
  EXPECT_EQ(t.sizeY, QStringLiteral("480"));
  EXPECT_EQ(t.linksObenH, QStringLiteral("100"));
  EXPECT_EQ(t.linksObenV, QStringLiteral("50"));
  EXPECT_EQ(t.rechtsUntenH, QStringLiteral("740"));
  EXPECT_EQ(t.rechtsUntenV, QStringLiteral("530"));
  EXPECT_EQ(t.width, 640);
  EXPECT_EQ(t.height, 480);

  const std::array<PreviewBand, 4> want = {
      PreviewBand{0, 0, 157, 6}, PreviewBand{0, 6, 12, 64}, PreviewBand{91, 6, 157, 64}, PreviewBand{0, 64, 157, 124}};
  EXPECT_EQ(SelectionTabLogic::SelectionPreviewBands(s.Auswahl, QSize(1280, 1024)), want);

  const QImage thumb = test::TestPattern(157, 124);
  const QImage preview = SelectionTabLogic::DrawSelectionPreview(thumb, s.Auswahl, QSize(1280, 1024));
  ExpectTinted(thumb, preview,
               {QRect(0, 0, 157, 6), QRect(0, 6, 12, 58), QRect(91, 6, 66, 58), QRect(0, 64, 157, 60)});
}

TEST(SelectionLogic, PreviewEdgeCases) {
  struct Case {
    const char* what;
    SelectionSettings selection;
    QSize screen;
    std::vector<QRect> tinted;
  };
  const Case cases[] = {
      {"whole screen leaves the picture untouched", Rect(0, 0, 1280, 1024), QSize(1280, 1024), {}},
      // 314 x 248 halves every coordinate: 1.5 -> 2, 2.5 -> 2, 3.5 -> 4, 4.5 -> 4.
      {"halves round to even", Rect(3, 5, 7, 9), QSize(314, 248),
       {QRect(0, 0, 157, 2), QRect(0, 2, 2, 2), QRect(4, 2, 153, 2), QRect(0, 4, 157, 120)}},
      // 600 -> 73.6, 500 -> 60.5, 4000 -> 490.6 and 484.4.
      {"past the right and bottom edges", Rect(600, 500, 4000, 4000), QSize(1280, 1024),
       {QRect(0, 0, 157, 61), QRect(0, 61, 74, 63)}},
      {"left of and above the screen", Rect(-500, -500, 600, 500), QSize(1280, 1024),
       {QRect(74, 0, 83, 61), QRect(0, 61, 157, 63)}},
      {"wholly off the screen", Rect(2000, 100, 2100, 200), QSize(1280, 1024), {QRect(0, 0, 157, 124)}},
      {"extreme values", Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX), QSize(1280, 1024), {}},
      {"no screen size", Rect(100, 50, 740, 530), QSize(0, 0), {}},
  };
  const QImage thumb = test::TestPattern(157, 124);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<QRect> bands;
    for (const QRect& r : c.tinted)
      if (r.width() > 0 && r.height() > 0) bands.push_back(r);
    ExpectTinted(thumb, SelectionTabLogic::DrawSelectionPreview(thumb, c.selection, c.screen), bands);
  }
  EXPECT_TRUE(SelectionTabLogic::DrawSelectionPreview(QImage(), Rect(0, 0, 5, 5), QSize(10, 10)).isNull());
}

TEST(SelectionLogic, RoundingIsHalfToEven) {
  const std::pair<double, int> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {6.4, 6}, {11.6, 12}};
  for (const auto& [value, want] : cases) EXPECT_EQ(RoundHalfEven(value), want) << value;
}

TEST(SelectionLogic, UseAuswahlSetsAktivAndPicksTheSizeForTheStatusBar) {
  Settings s;
  s.Auswahl = Rect(100, 50, 740, 530);
  SelectionTabLogic logic(s);
  EXPECT_EQ(logic.setUseAuswahl(false, QSize(1024, 768)), QSize(1024, 768));
  EXPECT_FALSE(s.Auswahl.Aktiv);
  EXPECT_EQ(logic.setUseAuswahl(true, QSize(1024, 768)), QSize(640, 480));
  EXPECT_TRUE(s.Auswahl.Aktiv);
}

TEST(SelectionLogic, SizesOfExtremeRectanglesDoNotOverflow) {
  Settings s;
  s.Auswahl = Rect(INT_MIN, -1, INT_MAX, INT_MAX);
  const SelectionInfoTexts t = SelectionTabLogic(s).ShowSelectionInfo();
  EXPECT_EQ(t.sizeX, QStringLiteral("4294967295"));
  EXPECT_EQ(t.sizeY, QStringLiteral("2147483648"));
  EXPECT_EQ(t.linksObenH, QStringLiteral("-2147483648"));
}

}  // namespace
}  // namespace lumora
