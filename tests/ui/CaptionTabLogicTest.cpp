#include <gtest/gtest.h>

#include <set>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "settings/Defaults.h"
#include "settings/ValueCodes.h"
#include "ui/CaptionTabLogic.h"

namespace lumora {
namespace {

using test::FakeDialogs;

class CaptionLogicTest : public ::testing::Test {
 protected:
  void SetUp() override { SetDefaults(s_, QSize(1280, 1024), QStringLiteral("/tmp/lumora/")); }
  Settings s_;
  FakeDialogs dialogs_;
  CaptionTabLogic logic_{s_, dialogs_};
};

TEST_F(CaptionLogicTest, ControlsWriteTheirSettings) {
  EXPECT_EQ(CaptionTabLogic::PositionFromButtons(true, false, false), tpOben);
  EXPECT_EQ(CaptionTabLogic::PositionFromButtons(false, true, false), tpMitte);
  EXPECT_EQ(CaptionTabLogic::PositionFromButtons(false, false, true), tpUnten);
  EXPECT_EQ(CaptionTabLogic::PositionFromButtons(false, false, false), tpKeine);

  const int sizes[][2] = {{0, 8}, {3, 14}, {8, 24}};
  for (const auto& [index, size] : sizes) {
    logic_.setFontSizeIndex(index);
    EXPECT_EQ(s_.Beschriftung.FontSize, size) << index;
  }
  logic_.setFontSizeIndex(-1);  // a list without selection leaves the size alone
  EXPECT_EQ(s_.Beschriftung.FontSize, 24);

  logic_.setTextColorIndex(3);
  logic_.setBackColorIndex(9);
  EXPECT_EQ(s_.Beschriftung.TextColor, 0x0000FFu);
  EXPECT_EQ(s_.Beschriftung.BackColor, 0xC0C0C0u);
  logic_.setText(QStringLiteral("Grüße"));
  EXPECT_EQ(s_.Beschriftung.Text, QStringLiteral("Grüße"));
  EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(CaptionLogicTest, LoadingReplacesValuesTheListsDoNotHold) {
  struct Case {
    const char* what;
    uint8_t fontSize;
    TColor text, back;
    int sizeIndex, textIndex, backIndex;
    int boxes;
  };
  const Case cases[] = {
      {"all known", 22, 0x00FFFF, 0x808000, 7, 5, 7, 0},
      {"odd size", 9, 0xFFFFFF, 0x000000, 3, 1, 0, 1},
      {"size too big", 26, 0xFFFFFF, 0x000000, 3, 1, 0, 1},
      {"text colour outside the palette", 14, 0x123456, 0x000000, 3, 0, 0, 1},
      {"both colours outside", 8, 0x010101, 0x020202, 0, 0, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dialogs_.boxes.clear();
    s_.Beschriftung.FontSize = c.fontSize;
    s_.Beschriftung.TextColor = c.text;
    s_.Beschriftung.BackColor = c.back;
    const CaptionControls controls = logic_.loadControls();
    EXPECT_EQ(controls.sizeIndex, c.sizeIndex);
    EXPECT_EQ(controls.textColorIndex, c.textIndex);
    EXPECT_EQ(controls.backColorIndex, c.backIndex);
    EXPECT_EQ(int(dialogs_.boxes.size()), c.boxes);
    // What the lists show is what captures use.
    EXPECT_EQ(s_.Beschriftung.FontSize, c.sizeIndex * 2 + 8);
    EXPECT_EQ(s_.Beschriftung.TextColor, kPalette[size_t(c.textIndex)].color);
    EXPECT_EQ(s_.Beschriftung.BackColor, kPalette[size_t(c.backIndex)].color);
  }
  dialogs_.boxes.clear();
  s_.Beschriftung.FontSize = 9;
  logic_.loadControls();
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].kind, FakeDialogs::Kind::Error);
  EXPECT_EQ(dialogs_.boxes[0].text, QString::fromUtf8(msg::kFontSize));
}

TEST(CaptionPreview, BandsAreMaskedRedOverTheBackground) {
  struct Case {
    uint8_t position;
    int top;  // first band row, -1 for none
  };
  const Case cases[] = {{tpOben, 0}, {tpMitte, 52}, {tpUnten, 107}, {tpKeine, -1}, {7, -1}};
  const QImage back = test::TestPattern(157, 124);
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.position));
    const QImage preview = CaptionTabLogic::PositionPreview(back, c.position);
    ASSERT_EQ(preview.size(), QSize(157, 124));
    for (int y = 0; y < 124; ++y) {
      const bool inBand = c.top >= 0 && y >= c.top && y < c.top + 17;
      for (int x = 0; x < 157; ++x) {
        const QRgb want = inBand ? (back.pixel(x, y) & 0xffff0000u) : back.pixel(x, y);
        ASSERT_EQ(preview.pixel(x, y), want) << x << "," << y;
      }
    }
  }
}

TEST_F(CaptionLogicTest, TextPreviewShowsTheColoursAndDropsTheBackgroundWhenTransparent) {
  QImage back(153, 41, QImage::Format_RGB32);
  back.fill(qRgb(10, 200, 30));
  s_.Beschriftung.TextColor = 0x00FFFF;  // yellow
  s_.Beschriftung.BackColor = 0xFF0000;  // blue
  auto colours = [](const QImage& image) {
    std::set<QRgb> seen;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) seen.insert(image.pixel(x, y));
    return seen;
  };

  const QImage opaque = logic_.textPreview(back);
  ASSERT_EQ(opaque.size(), QSize(153, 41));
  EXPECT_EQ(colours(opaque), (std::set<QRgb>{qRgb(0, 0, 255), qRgb(255, 255, 0)}));

  s_.Beschriftung.Transparent = true;
  const QImage clear = logic_.textPreview(back);
  EXPECT_EQ(colours(clear), (std::set<QRgb>{qRgb(10, 200, 30), qRgb(255, 255, 0)}));
  EXPECT_EQ(clear.pixel(0, 0), qRgb(10, 200, 30));

  // The glyphs are drawn at the same places either way.
  for (int y = 0; y < 41; ++y)
    for (int x = 0; x < 153; ++x)
      ASSERT_EQ(opaque.pixel(x, y) == qRgb(255, 255, 0), clear.pixel(x, y) == qRgb(255, 255, 0)) << x << "," << y;
}

}  // namespace
}  // namespace lumora
