#include <gtest/gtest.h>

#include "TabTestSupport.h"
#include "ui/FormatTabLogic.h"

using namespace lumora;
using test::TabFixture;

TEST(FormatTabLogic, SuffixesAndTheirListPositions) {
  struct Case {
    const char* suffix;
    int index;
  };
  const Case cases[] = {{".bmp", 0},  {".jpg", 1}, {".tga", 2}, {".png", 3}, {".BMP", -1},
                        {".jpeg", -1}, {"bmp", -1}, {"", -1},    {".PNG", -1}, {".gif", -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.suffix);
    EXPECT_EQ(FormatTabLogic::FormatIndexFromSuffix(QLatin1String(c.suffix)), c.index);
    if (c.index >= 0) {
      EXPECT_EQ(FormatTabLogic::SuffixFromFormatIndex(c.index), QLatin1String(c.suffix));
    }
  }
  EXPECT_TRUE(FormatTabLogic::SuffixFromFormatIndex(-1).isEmpty());
  EXPECT_TRUE(FormatTabLogic::SuffixFromFormatIndex(4).isEmpty());
}

TEST(FormatTabLogic, EachFormatShowsOnlyItsGroups) {
  for (int i = -1; i <= 4; ++i) {  // PNG (3) has no groups
    const FormatTabLogic::Groups g = FormatTabLogic::VisibleGroups(i);
    EXPECT_EQ(g.bmp, i == 0) << i;
    EXPECT_EQ(g.jpeg, i == 1) << i;
    EXPECT_EQ(g.tga, i == 2) << i;
  }
}

TEST(FormatTabLogic, DepthItemsStoreTheirCodesWithoutCodeFour) {
  const uint8_t expected[] = {1, 2, 3, 5, 6, 7};  // "1 Bit" ... "32 Bit"
  TabFixture f;
  FormatTabLogic logic(f.ctx);
  for (int item = 0; item < 6; ++item) {
    logic.bmpBitClicked(item);
    EXPECT_EQ(f.settings.Format.BmpBit, expected[item]) << item;
    EXPECT_EQ(FormatTabLogic::BmpBitIndexFromCode(expected[item]), item);
  }
  for (uint8_t unknown : {0, 4, 8, 255}) EXPECT_EQ(FormatTabLogic::BmpBitIndexFromCode(unknown), -1) << int(unknown);
}

TEST(FormatTabLogic, TrackBarPositionsGiveQualities) {
  struct Case {
    int position;
    int quality;
  };
  const Case cases[] = {{0, 1}, {1, 1}, {2, 2}, {50, 50}, {99, 99}, {100, 100}};
  TabFixture f;
  FormatTabLogic logic(f.ctx);
  for (const Case& c : cases) {
    EXPECT_EQ(logic.jpegQualityChanged(c.position), c.quality) << c.position;
    EXPECT_EQ(f.settings.Format.JpegQuality, c.quality) << c.position;
  }
}

TEST(FormatTabLogic, FormatSwitchRestartsTheSearchAtZero) {
  TabFixture f;
  for (int i = 0; i < 5; ++i) f.touch(QStringLiteral("Screen %1.bmp").arg(i, 5, 10, QLatin1Char('0')));
  f.touch(QStringLiteral("Screen 00000.tga"));
  f.naming.AdvanceFileName(true, false);
  ASSERT_EQ(f.settings.Datei.NextFile, f.path(QStringLiteral("Screen 00005.bmp")));

  struct Step {
    int index;
    const char* next;
  };
  const Step steps[] = {{1, "Screen 00000.jpg"}, {2, "Screen 00001.tga"}, {0, "Screen 00005.bmp"}, {0, "Screen 00005.bmp"}};
  FormatTabLogic logic(f.ctx);
  for (const Step& s : steps) {
    logic.formatClicked(s.index, false);
    EXPECT_EQ(f.settings.Datei.FileSuffix, FormatTabLogic::SuffixFromFormatIndex(s.index));
    EXPECT_EQ(f.settings.Datei.NextFile, f.path(QLatin1String(s.next)));
  }
}

TEST(FormatTabLogic, UnknownStoredSuffixBecomesTheSelectedFormatWithAFreshProposal) {
  TabFixture f;
  f.settings.Datei.FileSuffix = QStringLiteral(".png");
  f.naming.AdvanceFileName(true, false);
  ASSERT_EQ(f.settings.Datei.NextFile, f.path(QStringLiteral("Screen 00000.png")));
  FormatTabLogic logic(f.ctx);
  logic.initFormat(FormatTabLogic::FormatIndexFromSuffix(f.settings.Datei.FileSuffix), false);
  EXPECT_EQ(f.settings.Datei.FileSuffix, QStringLiteral(".png")) << "no list position: nothing to take it from";
  logic.initFormat(0, false);  // the list stayed on its design choice, BMP
  EXPECT_EQ(f.settings.Datei.FileSuffix, QStringLiteral(".bmp"));
  EXPECT_EQ(f.settings.Datei.NextFile, f.path(QStringLiteral("Screen 00000.bmp")));
}

TEST(FormatTabLogic, KnownSuffixKeepsTheProposalAtStart) {
  TabFixture f;
  f.touch(QStringLiteral("Screen 00000.bmp"));
  f.naming.AdvanceFileName(true, false);
  ASSERT_EQ(f.settings.Datei.Counter, 2);
  FormatTabLogic(f.ctx).initFormat(0, false);
  EXPECT_EQ(f.settings.Datei.Counter, 2);
  EXPECT_EQ(f.settings.Datei.NextFile, f.path(QStringLiteral("Screen 00001.bmp")));
}
