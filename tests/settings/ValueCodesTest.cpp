#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "settings/ValueCodes.h"

using namespace lumora;
using test::FakeDialogs;

namespace {

// One conversion call: its result as text, and the message it showed (or none).
struct Case {
  const char* what;
  std::function<QString(Dialogs&)> call;
  QString result;
  const char* message;
};

}  // namespace

TEST(ValueCodes, KnownAndUnknownInputs) {
  const Case cases[] = {
      {"colour 0", [](Dialogs& d) { return QString::number(ColorFromIndex(0, d), 16); }, "0", nullptr},
      {"colour 3 is red", [](Dialogs& d) { return QString::number(ColorFromIndex(3, d), 16); }, "ff", nullptr},
      {"colour 10", [](Dialogs& d) { return QString::number(ColorFromIndex(10, d), 16); }, "808080", nullptr},
      {"colour 11", [](Dialogs& d) { return QString::number(ColorFromIndex(11, d), 16); }, "0", msg::kColor},
      {"colour 255", [](Dialogs& d) { return QString::number(ColorFromIndex(255, d), 16); }, "0", msg::kColor},
      {"index of blue", [](Dialogs& d) { return QString::number(IndexFromColor(0xFF0000, d)); }, "2", nullptr},
      {"index of grey", [](Dialogs& d) { return QString::number(IndexFromColor(0x808080, d)); }, "10", nullptr},
      {"index of 0x123456", [](Dialogs& d) { return QString::number(IndexFromColor(0x123456, d)); }, "0",
       msg::kColor},
      {"size 8", [](Dialogs& d) { return QString::number(SizeIndexFromFontSize(8, d)); }, "0", nullptr},
      {"size 24", [](Dialogs& d) { return QString::number(SizeIndexFromFontSize(24, d)); }, "8", nullptr},
      {"size 9", [](Dialogs& d) { return QString::number(SizeIndexFromFontSize(9, d)); }, "3", msg::kFontSize},
      {"size 26", [](Dialogs& d) { return QString::number(SizeIndexFromFontSize(26, d)); }, "3", msg::kFontSize},
      {"size 6", [](Dialogs& d) { return QString::number(SizeIndexFromFontSize(6, d)); }, "3", msg::kFontSize},
      {"position 1", [](Dialogs& d) { return PositionToText(1, d); }, "mitte", nullptr},
      {"position 4", [](Dialogs& d) { return PositionToText(4, d); }, "keine", msg::kPosition},
      {"\"keine\"", [](Dialogs& d) { return QString::number(PositionFromText("keine", d)); }, "3", nullptr},
      {"\"oben\"", [](Dialogs& d) { return QString::number(PositionFromText("oben", d)); }, "0", nullptr},
      {"\"Keine\"", [](Dialogs& d) { return QString::number(PositionFromText("Keine", d)); }, "3", msg::kPosition},
      {"\"unten \"", [](Dialogs& d) { return QString::number(PositionFromText("unten ", d)); }, "3",
       msg::kPosition},
      {"pf 5", [](Dialogs& d) { return PixelFormatToText(5, d); }, "pf16Bit", nullptr},
      {"pf 7", [](Dialogs& d) { return PixelFormatToText(7, d); }, "pf32Bit", nullptr},
      {"pf 4", [](Dialogs& d) { return PixelFormatToText(4, d); }, "pf24Bit", msg::kPixelFormat},
      {"pf 0", [](Dialogs& d) { return PixelFormatToText(0, d); }, "pf24Bit", msg::kPixelFormat},
      {"\"pf32Bit\"", [](Dialogs& d) { return QString::number(PixelFormatFromText("pf32Bit", d)); }, "7", nullptr},
      {"\"pf1Bit\"", [](Dialogs& d) { return QString::number(PixelFormatFromText("pf1Bit", d)); }, "1", nullptr},
      {"\"pf15Bit\"", [](Dialogs& d) { return QString::number(PixelFormatFromText("pf15Bit", d)); }, "6",
       msg::kPixelFormat},
      {"jm 1", [](Dialogs& d) { return JpegMethodToText(1, d); }, "speed", nullptr},
      {"jm 2", [](Dialogs& d) { return JpegMethodToText(2, d); }, "quality", msg::kJpegMethod},
      {"\"speed\"", [](Dialogs& d) { return QString::number(JpegMethodFromText("speed", d)); }, "1", nullptr},
      {"\"\"", [](Dialogs& d) { return QString::number(JpegMethodFromText("", d)); }, "0", msg::kJpegMethod},
      {"\"Speed\"", [](Dialogs& d) { return QString::number(JpegMethodFromText("Speed", d)); }, "0",
       msg::kJpegMethod},
  };
  for (const Case& c : cases) {
    FakeDialogs dialogs;
    EXPECT_EQ(c.call(dialogs), c.result) << c.what;
    if (c.message) {
      ASSERT_EQ(dialogs.boxes.size(), 1u) << c.what;
      EXPECT_EQ(dialogs.boxes[0].kind, FakeDialogs::Kind::Error) << c.what;
      EXPECT_EQ(dialogs.boxes[0].text, QString::fromUtf8(c.message)) << c.what;
    } else {
      EXPECT_TRUE(dialogs.boxes.empty()) << c.what;
    }
  }
}

TEST(ValueCodes, EveryPaletteColourComesBackToItsIndex) {
  FakeDialogs dialogs;
  for (uint8_t i = 0; i < kPalette.size(); ++i) EXPECT_EQ(IndexFromColor(ColorFromIndex(i, dialogs), dialogs), i);
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_EQ(FontSizeListText(0), QStringLiteral("08  Pixel"));
  EXPECT_EQ(FontSizeListText(8), QStringLiteral("24  Pixel"));
}

TEST(ValueCodes, MessagesReadAsWritten) {
  EXPECT_TRUE(QString::fromUtf8(msg::kJpegMethod).contains(QStringLiteral("(JPeg).\nübergeben.")));
  EXPECT_TRUE(QString::fromUtf8(msg::kColor).contains(QStringLiteral("beeinträchtigen\nwurde Schwarz")));
}

TEST(ValueCodes, DurationText) {
  const std::pair<uint32_t, const char*> cases[] = {
      {0, "0-00:00:00"},      {10, "0-00:00:10"},        {3725, "0-01:02:05"},          {86399, "0-23:59:59"},
      {86400, "1-00:00:00"},  {90061, "1-01:01:01"},     {4294967295u, "49710-06:28:15"},
  };
  for (const auto& [seconds, text] : cases) EXPECT_EQ(DurationText(seconds), QLatin1String(text)) << seconds;
}
