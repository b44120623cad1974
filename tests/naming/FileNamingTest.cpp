#include "naming/FileNaming.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "ScriptedPrompt.h"

namespace lumora {
namespace {

using test::FakeDialogs;

class FileNamingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    folder_ = dir_.path() + QLatin1Char('/');
    s_.Datei.FileDir = folder_;
    s_.Datei.FileDescription = QStringLiteral("Screen");
    s_.Datei.FileSuffix = QStringLiteral(".bmp");
  }

  void touch(const QString& name) {
    QFile f(folder_ + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  void touchNumbers(std::initializer_list<int> numbers, const QString& prefix = QStringLiteral("Screen ")) {
    for (int n : numbers) touch(prefix + QStringLiteral("%1.bmp").arg(n, 5, 10, QLatin1Char('0')));
  }
  QString path(const QString& name) const { return folder_ + name; }

  QTemporaryDir dir_;
  QString folder_;
  Settings s_;
  FakeDialogs dialogs_;
  FileNaming naming_{s_, dialogs_};
};

struct ProbeCase {
  const char* what;
  std::vector<int> existing;
  int32_t counter;
  bool blank;
  const char* suffix;
  const char* expected;
  int32_t expectedCounter;
};

TEST_F(FileNamingTest, ProbingFindsTheFirstFreeNumberFromThePreviousProposal) {
  const ProbeCase cases[] = {
      {"nothing on disk", {}, 0, true, ".bmp", "Screen 00000.bmp", 1},
      {"gap in the taken numbers", {0, 1, 2, 4}, 0, true, ".bmp", "Screen 00003.bmp", 4},
      {"counter 5 starts at 00004", {}, 5, true, ".bmp", "Screen 00004.bmp", 5},
      {"blank off, JPEG", {}, 0, false, ".jpg", "Screen00000.jpg", 1},
      {"other extension does not count", {0, 1}, 0, true, ".jpg", "Screen 00000.jpg", 1},
      {"counter out of range restarts", {}, -7, true, ".bmp", "Screen 00000.bmp", 1},
  };
  for (const ProbeCase& c : cases) {
    SCOPED_TRACE(c.what);
    QTemporaryDir dir;
    folder_ = dir.path() + QLatin1Char('/');
    s_.Datei.FileDir = folder_;
    s_.Datei.FileDescription = QStringLiteral("Screen");
    s_.Datei.FileSuffix = QString::fromLatin1(c.suffix);
    for (int n : c.existing) touch(QStringLiteral("Screen %1.bmp").arg(n, 5, 10, QLatin1Char('0')));
    s_.Datei.Counter = c.counter;
    naming_.AdvanceFileName(c.blank, false);
    EXPECT_EQ(s_.Datei.NextFile, path(QString::fromLatin1(c.expected)));
    EXPECT_EQ(s_.Datei.Counter, c.expectedCounter);
  }
  EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(FileNamingTest, AfterTheProposalIsWrittenTheNextFreeNumberFollows) {
  touchNumbers({0, 1, 2, 4});
  naming_.AdvanceFileName(true, false);
  EXPECT_EQ(s_.Datei.NextFile, path("Screen 00003.bmp"));
  touchNumbers({3});
  naming_.AdvanceFileName(true, false);
  EXPECT_EQ(s_.Datei.NextFile, path("Screen 00005.bmp"));
  EXPECT_EQ(s_.Datei.Counter, 6);
}

TEST_F(FileNamingTest, AnUnwrittenProposalIsProposedAgain) {
  naming_.AdvanceFileName(true, false);
  naming_.AdvanceFileName(true, false);  // e.g. after a clipboard capture
  EXPECT_EQ(s_.Datei.NextFile, path("Screen 00000.bmp"));
  EXPECT_EQ(s_.Datei.Counter, 1);
}

TEST_F(FileNamingTest, AnythingUnderTheNameTakesTheNumber) {
  // A folder, or a link that leads nowhere, blocks a name as a file does: no
  // capture could ever be written there.
  ASSERT_TRUE(QDir(folder_).mkdir(QStringLiteral("Screen 00000.bmp")));
  ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent"), path("Screen 00001.bmp")));
  naming_.AdvanceFileName(true, false);
  EXPECT_EQ(s_.Datei.NextFile, path("Screen 00002.bmp"));
}

TEST_F(FileNamingTest, HandsOutTheNumbersAfterTheProposalForAPublishThatFindsItsNameTaken) {
  naming_.AdvanceFileName(true, false);
  ASSERT_EQ(s_.Datei.NextFile, path("Screen 00000.bmp"));
  EXPECT_EQ(naming_.nextName(), path("Screen 00001.bmp"));
  EXPECT_EQ(naming_.nextName(), path("Screen 00002.bmp"));
  EXPECT_EQ(s_.Datei.Counter, 3);  // one past the last name handed out, as for a proposal

  s_.Datei.Counter = FileNaming::kLastNumber + 1;  // the numbers are used up: the prefix grows
  EXPECT_EQ(naming_.nextName(), path("Screen_ 00000.bmp"));
  EXPECT_TRUE(dialogs_.boxes.empty()) << "no box in the middle of writing a picture";
}

TEST_F(FileNamingTest, TogglingTheBlankKeepsTheNumber) {
  s_.Datei.Counter = 8;  // the proposal is Screen 00007.bmp
  naming_.AdvanceFileName(true, false);
  ASSERT_EQ(s_.Datei.NextFile, path("Screen 00007.bmp"));
  naming_.AdvanceFileName(false, false);
  EXPECT_EQ(s_.Datei.NextFile, path("Screen00007.bmp"));
  EXPECT_EQ(s_.Datei.Counter, 8);
}

struct OverflowCase {
  const char* what;
  bool quiet;
  int boxes;
};

TEST_F(FileNamingTest, CounterAtTheEndGrowsThePrefixAndRestarts) {
  const OverflowCase cases[] = {{"shown", false, 1}, {"timer running: no message", true, 0}};
  for (const OverflowCase& c : cases) {
    SCOPED_TRACE(c.what);
    dialogs_.boxes.clear();
    s_.Datei.FileDescription = QStringLiteral("Screen");
    s_.Datei.Counter = 99999;
    naming_.AdvanceFileName(true, c.quiet);
    EXPECT_EQ(s_.Datei.FileDescription, QStringLiteral("Screen_"));
    EXPECT_EQ(s_.Datei.NextFile, path("Screen_ 00000.bmp"));
    EXPECT_EQ(s_.Datei.Counter, 1);
    ASSERT_EQ(int(dialogs_.boxes.size()), c.boxes);
    if (c.boxes) {
      EXPECT_EQ(dialogs_.boxes[0].kind, FakeDialogs::Kind::Error);
      EXPECT_EQ(dialogs_.boxes[0].text, OverflowMessage());
    }
  }
}

TEST_F(FileNamingTest, TwoOverflowsMakeTwoUnderscores) {
  s_.Datei.Counter = 99999;
  naming_.AdvanceFileName(true, true);
  s_.Datei.Counter = 99999;
  naming_.AdvanceFileName(true, true);
  EXPECT_EQ(s_.Datei.FileDescription, QStringLiteral("Screen__"));
  EXPECT_EQ(s_.Datei.NextFile, path("Screen__ 00000.bmp"));
}

TEST_F(FileNamingTest, TheLastNumberIsProposedWhenFreeAndOverflowsAtTheNextAdvance) {
  touchNumbers({99997});
  s_.Datei.Counter = 99998;
  naming_.AdvanceFileName(true, false);
  EXPECT_EQ(s_.Datei.NextFile, path("Screen 99998.bmp"));
  EXPECT_EQ(s_.Datei.Counter, 99999);
  EXPECT_TRUE(dialogs_.boxes.empty());

  touchNumbers({99998});
  naming_.AdvanceFileName(true, false);
  EXPECT_EQ(s_.Datei.NextFile, path("Screen_ 00000.bmp"));
  EXPECT_EQ(dialogs_.count(FakeDialogs::Kind::Error), 1);
}

TEST_F(FileNamingTest, AnExistingLastNumberIsNeverProposed) {
  // Every number from the search start up to the last is taken: the overflow
  // applies at once, and the new prefix is probed as well.
  touchNumbers({99996, 99997, 99998});
  touchNumbers({0, 1}, QStringLiteral("Screen_ "));
  s_.Datei.Counter = 99997;
  naming_.AdvanceFileName(true, false);
  EXPECT_EQ(s_.Datei.FileDescription, QStringLiteral("Screen_"));
  EXPECT_EQ(s_.Datei.NextFile, path("Screen_ 00002.bmp"));
  EXPECT_EQ(s_.Datei.Counter, 3);
  EXPECT_EQ(dialogs_.count(FakeDialogs::Kind::Error), 1);
}

TEST_F(FileNamingTest, ChoosingAPathSetsFolderAndPrefixAndRestartsTheNumbers) {
  ASSERT_TRUE(QDir(folder_).mkdir(QStringLiteral("Bilder")));
  touch(QStringLiteral("Bilder/Bericht 00000.bmp"));
  s_.Datei.Counter = 40;
  s_.Datei.Clipboard = true;
  const QString chosen = path("Bilder/Bericht");
  naming_.folderDialogClosed(&chosen, true, false);
  EXPECT_EQ(s_.Datei.FileDir, path("Bilder/"));
  EXPECT_EQ(s_.Datei.FileDescription, QStringLiteral("Bericht"));
  EXPECT_EQ(s_.Datei.NextFile, path("Bilder/Bericht 00001.bmp"));
  EXPECT_FALSE(s_.Datei.Clipboard);
}

TEST_F(FileNamingTest, ChoosingANameInTheRootFolderKeepsPlainPaths) {
  ASSERT_TRUE(naming_.applyChosenPath(QStringLiteral("/Lumora-probe-prefix"), false, false));
  EXPECT_EQ(s_.Datei.FileDir, QStringLiteral("/"));
  EXPECT_EQ(s_.Datei.NextFile, QStringLiteral("/Lumora-probe-prefix00000.bmp"));
}

TEST_F(FileNamingTest, ACancelledOrImpossibleChoiceChangesOnlyTheClipboardMode) {
  s_.Datei.Counter = 7;
  s_.Datei.NextFile = QStringLiteral("unchanged");
  s_.Datei.Clipboard = true;
  naming_.folderDialogClosed(nullptr, true, false);
  EXPECT_FALSE(s_.Datei.Clipboard);
  EXPECT_FALSE(naming_.applyChosenPath(path("no-such-folder/Name"), true, false));
  EXPECT_FALSE(naming_.applyChosenPath(QString(), true, false));
  EXPECT_EQ(s_.Datei.FileDir, folder_);
  EXPECT_EQ(s_.Datei.Counter, 7);
  EXPECT_EQ(s_.Datei.NextFile, QStringLiteral("unchanged"));
}

struct ResolveCase {
  const char* what;
  bool sameFile, prompt, clipboard, timer;
  int answer;
  bool go;
  int promptCalls;
  const char* target;  // "fixed", "numbered" or "typed"
};

TEST_F(FileNamingTest, ResolveTargetChoosesAmongFixedPromptedAndNumberedNames) {
  const ResolveCase cases[] = {
      {"numbered", false, false, false, false, 1, true, 0, "numbered"},
      {"same file wins over the prompt", true, true, false, false, 1, true, 0, "fixed"},
      {"prompt accepted", false, true, false, false, 1, true, 1, "typed"},
      {"prompt cancelled", false, true, false, false, 2, false, 1, "numbered"},
      {"any other result cancels", false, true, false, false, 0, false, 1, "numbered"},
      {"clipboard: no prompt", false, true, true, false, 1, true, 0, "numbered"},
      {"timer running: no prompt", false, true, false, true, 1, true, 0, "numbered"},
  };
  for (const ResolveCase& c : cases) {
    SCOPED_TRACE(c.what);
    s_.Datei.SameFile = c.sameFile;
    s_.Datei.Eingabeaufforderung = c.prompt;
    s_.Datei.Clipboard = c.clipboard;
    s_.Datei.Counter = 0;
    naming_.AdvanceFileName(true, false);
    const QString numbered = s_.Datei.NextFile;
    test::ScriptedPrompt prompt;
    prompt.answer = c.answer;
    prompt.result = QStringLiteral("/typed/Bericht.bmp");
    EXPECT_EQ(naming_.ResolveTarget(c.timer, &prompt), c.go);
    EXPECT_EQ(prompt.calls, c.promptCalls);
    const QString target = QString::fromLatin1(c.target);
    const QString expected = target == "fixed" ? path("Screen.bmp") : target == "typed" ? prompt.result : numbered;
    EXPECT_EQ(s_.Datei.NextFile, expected);
  }
}

}  // namespace
}  // namespace lumora
