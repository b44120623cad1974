#include "capture/OptionCheck.h"

#include <gtest/gtest.h>

#include "FakeDialogs.h"

namespace lumora {
namespace {

using test::FakeDialogs;

const QString kSameColour = QStringLiteral(
    "Sie haben die gleiche Farbe für Hintergrund uns Text ausgewählt.\n"
    "Wollen Sie den Screenshot trotzdem durchführen?");
const QString kSmallFont = QStringLiteral(
    "Die gewählte Schriftgröße ist sehr klein und kann unter Umständen nicht\n"
    "gut zu erkennen sein. Wollen Sie den Vorgang trotzdem durchführen?");
const QString kLowJpeg = QStringLiteral(
    "Die Komprimierungsrate ist sehr hoch. Schriften und Details\n"
    "werden nicht oder nur sehr schlecht abgebildet. Wollen Sie\n"
    "den Vorgang trotzdem durchführen?");
const QString kLowBmp = QStringLiteral(
    "Die Bitmap-Bitrate ist sehr gering und führt somit zu schlechten\n"
    "Resultaten. Wollen Sie den Vorgang trotzdem durchführen?");
const QString kBlueCast = QStringLiteral(
    "Bei der gewählten Bitmap-Bitrate kann es zu einem Blaustich kommen.\n"
    "Wollen Sie den Vorgang trotzdem fortsetzen?");

Settings defaults() {
  Settings s;
  s.Datei.FileSuffix = QStringLiteral(".bmp");
  s.Beschriftung.BackColor = 0x000000;
  s.Beschriftung.TextColor = 0xFFFFFF;
  s.Beschriftung.FontSize = 14;
  s.Beschriftung.Position = tpKeine;
  s.Format.BmpBit = pf24Bit;
  s.Format.JpegQuality = 80;
  return s;
}

struct Case {
  const char* what;
  std::function<void(Settings&)> change;
  std::vector<bool> answers;
  bool result;
  QStringList boxes;
};

TEST(OptionCheckTest, WarningsAskInOrderAndStopAtTheFirstNo) {
  const auto sameColours = [](Settings& s) { s.Beschriftung.TextColor = s.Beschriftung.BackColor; };
  const Case cases[] = {
      {"defaults", [](Settings&) {}, {}, true, {}},
      {"same colours on top", [&](Settings& s) { sameColours(s); s.Beschriftung.Position = tpOben; }, {true}, true,
       {kSameColour}},
      {"same colours, transparent, size 10",
       [&](Settings& s) {
         sameColours(s);
         s.Beschriftung.Position = tpOben;
         s.Beschriftung.Transparent = true;
         s.Beschriftung.FontSize = 10;
       },
       {true}, true, {kSmallFont}},
      {"same colours, size 8, no caption", [&](Settings& s) { sameColours(s); s.Beschriftung.FontSize = 8; }, {},
       true, {}},
      {"same colours and size 12, Yes then Yes",
       [&](Settings& s) {
         sameColours(s);
         s.Beschriftung.Position = tpUnten;
         s.Beschriftung.FontSize = 12;
       },
       {true, true}, true, {kSameColour, kSmallFont}},
      {"same colours and size 12, No",
       [&](Settings& s) {
         sameColours(s);
         s.Beschriftung.Position = tpUnten;
         s.Beschriftung.FontSize = 12;
       },
       {false}, false, {kSameColour}},
      {"size 14 does not warn", [](Settings& s) { s.Beschriftung.Position = tpMitte; }, {}, true, {}},
      {"JPEG quality 15", [](Settings& s) { s.Datei.FileSuffix = ".jpg"; s.Format.JpegQuality = 15; }, {true}, true,
       {kLowJpeg}},
      {"JPEG quality 16", [](Settings& s) { s.Datei.FileSuffix = ".jpg"; s.Format.JpegQuality = 16; }, {}, true, {}},
      {"JPEG with 1-bit BMP depth",
       [](Settings& s) {
         s.Datei.FileSuffix = ".jpg";
         s.Format.BmpBit = pf1Bit;
       },
       {}, true, {}},
      {"BMP 1 bit", [](Settings& s) { s.Format.BmpBit = pf1Bit; }, {true}, true, {kLowBmp}},
      {"BMP 4 bit declined", [](Settings& s) { s.Format.BmpBit = pf4Bit; }, {false}, false, {kLowBmp}},
      {"BMP 16 bit", [](Settings& s) { s.Format.BmpBit = pf16Bit; }, {true}, true, {kBlueCast}},
      {"BMP 8 and 32 bit", [](Settings& s) { s.Format.BmpBit = pf8Bit; }, {}, true, {}},
      {"upper-case suffix is not BMP",
       [](Settings& s) {
         s.Datei.FileSuffix = ".BMP";
         s.Format.BmpBit = pf1Bit;
       },
       {}, true, {}},
      {"TGA never judged by depth or quality",
       [](Settings& s) {
         s.Datei.FileSuffix = ".tga";
         s.Format.BmpBit = pf16Bit;
         s.Format.JpegQuality = 1;
       },
       {}, true, {}},
      {"PNG never judged by depth or quality",
       [](Settings& s) {
         s.Datei.FileSuffix = ".png";
         s.Format.BmpBit = pf1Bit;
         s.Format.JpegQuality = 1;
       },
       {}, true, {}},
      {"all five, all Yes",
       [&](Settings& s) {
         sameColours(s);
         s.Beschriftung.Position = tpOben;
         s.Beschriftung.FontSize = 8;
         s.Format.JpegQuality = 1;
         s.Format.BmpBit = pf1Bit;
       },
       {true, true, true}, true, {kSameColour, kSmallFont, kLowBmp}},
      {"the third box declined",
       [&](Settings& s) {
         sameColours(s);
         s.Beschriftung.Position = tpOben;
         s.Beschriftung.FontSize = 8;
         s.Format.BmpBit = pf16Bit;
       },
       {true, true, false}, false, {kSameColour, kSmallFont, kBlueCast}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Settings s = defaults();
    c.change(s);
    FakeDialogs dialogs;
    dialogs.answers.assign(c.answers.begin(), c.answers.end());
    EXPECT_EQ(CheckOptions(s, dialogs), c.result);
    EXPECT_EQ(dialogs.texts(), c.boxes);
    EXPECT_EQ(dialogs.count(FakeDialogs::Kind::Confirm), int(dialogs.boxes.size()));
  }
}

}  // namespace
}  // namespace lumora
