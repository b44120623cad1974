#include <gtest/gtest.h>

#include "TabTestSupport.h"
#include "ui/FileTabLogic.h"

using namespace lumora;
using test::TabFixture;

TEST(FileTabLogic, BlankToggleKeepsTheNumberOfTheProposal) {
  TabFixture f;
  for (int i = 0; i < 7; ++i) f.touch(QStringLiteral("Screen %1.bmp").arg(i, 5, 10, QLatin1Char('0')));
  f.settings.Datei.Counter = 0;
  f.naming.AdvanceFileName(true, false);
  ASSERT_EQ(f.settings.Datei.NextFile, f.path(QStringLiteral("Screen 00007.bmp")));

  FileTabLogic logic(f.ctx);
  logic.blankClicked(false, false);
  EXPECT_FALSE(f.settings.Blank);
  EXPECT_EQ(f.settings.Datei.NextFile, f.path(QStringLiteral("Screen00007.bmp")));
  logic.blankClicked(true, false);
  EXPECT_TRUE(f.settings.Blank);
  EXPECT_EQ(f.settings.Datei.NextFile, f.path(QStringLiteral("Screen 00007.bmp")));
}

TEST(FileTabLogic, LastFileIsUnknownBeforeTheFirstCapture) {
  const LastFileTexts t = FileTabLogic::UnknownLastFile();
  for (const QString& text : {t.file, t.dir, t.time, t.date}) EXPECT_EQ(text, QStringLiteral("unbekannt"));
}

TEST(FileTabLogic, NextFileLabelsAtStartForEachMode) {
  struct Case {
    bool sameFile, clipboard;
    const char* file;
    bool dirShown;
  };
  const Case cases[] = {
      {false, false, "Screen 00000.bmp", true},
      {false, true, "In Zwischenablage", false},
      {true, false, "Screen.bmp", true},
      // A ticked clipboard box wins at start, also in same-file mode.
      {true, true, "In Zwischenablage", false},
  };
  for (const Case& c : cases) {
    TabFixture f;
    f.settings.Datei.SameFile = c.sameFile;
    f.settings.Datei.Clipboard = c.clipboard;
    const NextFileTexts t = FileTabLogic(f.ctx).initialNextFileTexts();
    SCOPED_TRACE(testing::Message() << "sameFile " << c.sameFile << " clipboard " << c.clipboard);
    EXPECT_EQ(t.file, QString::fromUtf8(c.file));
    EXPECT_EQ(t.dir, c.dirShown ? f.settings.Datei.FileDir : QString());
    // The status bar keeps the numbered proposal in every mode.
    EXPECT_EQ(t.nextFilePanel, f.path(QStringLiteral("Screen 00000.bmp")));
    EXPECT_EQ(t.formatPanel, QStringLiteral(".bmp"));
  }
}
