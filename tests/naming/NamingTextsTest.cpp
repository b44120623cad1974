#include "naming/NamingTexts.h"

#include <gtest/gtest.h>

#include "Fakes.h"

namespace lumora {
namespace {

struct NextCase {
  const char* what;
  bool sameFile, clipboard;
  NextFileTexts expected;
};

TEST(NamingTextsTest, NextFileTextsFollowTheSavingMode) {
  tDatei d;
  d.FileDir = QStringLiteral("/home/u/Bilder/");
  d.FileDescription = QStringLiteral("Screen");
  d.FileSuffix = QStringLiteral(".jpg");
  d.NextFile = QStringLiteral("/home/u/Bilder/Screen 00007.jpg");
  const NextCase cases[] = {
      {"numbered", false, false, {"Screen 00007.jpg", "/home/u/Bilder/", ".jpg", "/home/u/Bilder/Screen 00007.jpg"}},
      {"same file", true, false, {"Screen.jpg", "/home/u/Bilder/", ".jpg", "/home/u/Bilder/Screen 00007.jpg"}},
      {"same file wins over clipboard", true, true,
       {"Screen.jpg", "/home/u/Bilder/", ".jpg", "/home/u/Bilder/Screen 00007.jpg"}},
      {"clipboard", false, true, {"In Zwischenablage", "", ".jpg", "/home/u/Bilder/Screen 00007.jpg"}},
  };
  for (const NextCase& c : cases) {
    SCOPED_TRACE(c.what);
    d.SameFile = c.sameFile;
    d.Clipboard = c.clipboard;
    const NextFileTexts t = ShowNextFileTexts(d);
    EXPECT_EQ(t.file, c.expected.file);
    EXPECT_EQ(t.dir, c.expected.dir);
    EXPECT_EQ(t.formatPanel, c.expected.formatPanel);
    EXPECT_EQ(t.nextFilePanel, c.expected.nextFilePanel);
  }
}

TEST(NamingTextsTest, LastFileTextsSplitTheTargetAndStampTheClock) {
  test::FixedClock clock;
  const LastFileTexts file = ShowLastFileTexts(QStringLiteral("/tmp/a b/Screen 00000.bmp"), clock);
  EXPECT_EQ(file.file, QStringLiteral("Screen 00000.bmp"));
  EXPECT_EQ(file.dir, QStringLiteral("/tmp/a b/"));
  EXPECT_EQ(file.time, QStringLiteral("14:05:09"));
  EXPECT_EQ(file.date, QStringLiteral("06.12.2026"));

  const LastFileTexts clip = ShowLastFileTexts(ClipboardTarget(), clock);
  EXPECT_EQ(clip.file, QStringLiteral("In Zwischenablage"));
  EXPECT_EQ(clip.dir, QString());
}

}  // namespace
}  // namespace lumora
