#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "naming/TfrmEingabe.h"

namespace lumora {
namespace {

using test::FakeDialogs;

class PromptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    s_.Datei.FileDir = dir_.path() + QLatin1Char('/');
    s_.Datei.FileSuffix = QStringLiteral(".bmp");
    s_.Beschriftung.Text = QStringLiteral("Ausgabetext");
  }
  QString path(const QString& name) const { return s_.Datei.FileDir + name; }

  QTemporaryDir dir_;
  Settings s_;
  FakeDialogs dialogs_;
};

TEST_F(PromptTest, KeysAreFilteredOneByOne) {
  FileNamePromptLogic logic(s_, dialogs_);
  for (QChar c : QStringLiteral("\"*/:<>?\\|")) {
    QString info;
    EXPECT_EQ(logic.keyPress(c, info), FileNamePromptLogic::Key::Discard) << QString(c).toStdString();
    EXPECT_EQ(info, QString(c) + QStringLiteral(" ist ein ungültiges Zeichen"));
  }
  for (QChar c : QStringLiteral("a.ä _-\x1b\x16")) {
    QString info;
    EXPECT_EQ(logic.keyPress(c, info), FileNamePromptLogic::Key::Pass);
    EXPECT_TRUE(info.isEmpty());
  }
  QString info;
  EXPECT_EQ(logic.keyPress(QChar(13), info), FileNamePromptLogic::Key::Accept);
}

struct AcceptCase {
  const char* what;
  const char* typed;
  bool fileExists;
  std::vector<bool> answers;
  FileNamePromptLogic::Outcome outcome;
  FakeDialogs::Kind box;  // the one box expected, or Warning for none
  const char* result;     // PromptResult afterwards, relative to FileDir unless it starts with '!'
};

TEST_F(PromptTest, AcceptChecksTheNameAndAsksBeforeOverwriting) {
  using O = FileNamePromptLogic::Outcome;
  using K = FakeDialogs::Kind;
  const AcceptCase cases[] = {
      {"plain name", "Bericht", false, {}, O::Accepted, K::Warning, "Bericht.bmp"},
      {"extension typed too", "Bericht.bmp", false, {}, O::Accepted, K::Warning, "Bericht.bmp.bmp"},
      {"only dots", "...", false, {}, O::Accepted, K::Warning, "....bmp"},
      {"only blanks", "  ", false, {}, O::Accepted, K::Warning, "  .bmp"},
      {"empty", "", false, {}, O::StayOpen, K::Error, "!"},
      {"pasted slash", "a/b", false, {}, O::StayOpen, K::Error, "!a/b"},
      {"existing, No", "Alt", true, {false}, O::StayOpen, K::Confirm, "Alt.bmp"},
      {"existing, Yes", "Alt", true, {true}, O::Accepted, K::Confirm, "Alt.bmp"},
  };
  for (const AcceptCase& c : cases) {
    SCOPED_TRACE(c.what);
    FakeDialogs dialogs;
    dialogs.answers.assign(c.answers.begin(), c.answers.end());
    const QString typed = QString::fromUtf8(c.typed);
    if (c.fileExists) {
      QFile f(path(typed + QStringLiteral(".bmp")));
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    FileNamePromptLogic logic(s_, dialogs);
    EXPECT_EQ(logic.accept(typed), c.outcome);
    const QString result = QString::fromUtf8(c.result);
    EXPECT_EQ(logic.PromptResult(), result.startsWith('!') ? result.mid(1) : path(result));
    if (c.box == K::Warning) {
      EXPECT_TRUE(dialogs.boxes.empty());
      continue;
    }
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].kind, c.box);
    EXPECT_EQ(dialogs.boxes[0].text,
              c.box == K::Error ? InvalidNameMessage() : OverwriteQuestion() + path(typed + QStringLiteral(".bmp")));
  }
}

// Runs Execute with `script` acting on the open dialog; a watchdog closes the
// dialog if the script leaves it open.
int executeWith(TfrmEingabe& dialog, const std::function<void()>& script) {
  QTimer::singleShot(0, &dialog, script);
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, &dialog, [&] {
    ADD_FAILURE() << "prompt still open";
    dialog.done(99);
  });
  watchdog.start(20000);
  return dialog.Execute();
}

TEST_F(PromptTest, TypingAForbiddenCharacterDropsItAndSaysWhy) {
  TfrmEingabe dialog(s_, dialogs_);
  EXPECT_EQ(dialog.size(), QSize(382, 92));
  QString info, text, startInfo;
  const int result = executeWith(dialog, [&] {
    startInfo = dialog.lblInfotext()->text();
    QTest::keyClicks(dialog.edFileName(), QStringLiteral("a:b"));
    info = dialog.lblInfotext()->text();
    text = dialog.edFileName()->text();
    QTest::keyClick(dialog.edFileName(), Qt::Key_Return);
  });
  EXPECT_EQ(startInfo, QStringLiteral("Übernehmen = ENTER"));
  EXPECT_EQ(text, QStringLiteral("ab"));
  EXPECT_EQ(info, QStringLiteral(": ist ein ungültiges Zeichen"));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(dialog.PromptResult(), path("ab.bmp"));
}

TEST_F(PromptTest, EnterOnAnEmptyEditKeepsThePromptOpen) {
  TfrmEingabe dialog(s_, dialogs_);
  bool openAfterEnter = false, openAfterEscape = false;
  const int result = executeWith(dialog, [&] {
    QTest::keyClick(dialog.edFileName(), Qt::Key_Return);
    openAfterEnter = dialog.isVisible();
    QTest::keyClick(dialog.edFileName(), Qt::Key_Escape);
    openAfterEscape = dialog.isVisible();
    dialog.btnAbbruch()->click();
  });
  EXPECT_TRUE(openAfterEnter);
  EXPECT_TRUE(openAfterEscape);
  EXPECT_EQ(result, 2);
  ASSERT_EQ(dialogs_.boxes.size(), 2u);
  EXPECT_EQ(dialogs_.boxes[0].kind, FakeDialogs::Kind::Error);
  EXPECT_EQ(dialogs_.boxes[0].text, InvalidNameMessage());
  EXPECT_EQ(dialogs_.boxes[1].kind, FakeDialogs::Kind::Info);
}

TEST_F(PromptTest, OverwriteDeclinedThenCancelledAbandonsTheCapture) {
  QFile existing(path("Alt.bmp"));
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  dialogs_.answers = {false};
  TfrmEingabe dialog(s_, dialogs_);
  bool openAfterNo = false;
  const int result = executeWith(dialog, [&] {
    QTest::keyClicks(dialog.edFileName(), QStringLiteral("Alt"));
    QTest::keyClick(dialog.edFileName(), Qt::Key_Return);
    openAfterNo = dialog.isVisible();
    QTest::mouseClick(dialog.btnAbbruch(), Qt::LeftButton);
  });
  EXPECT_TRUE(openAfterNo);
  EXPECT_EQ(result, 2);
  ASSERT_EQ(dialogs_.boxes.size(), 2u);
  EXPECT_EQ(dialogs_.boxes[0].kind, FakeDialogs::Kind::Confirm);
  EXPECT_EQ(dialogs_.boxes[1].kind, FakeDialogs::Kind::Info);
  EXPECT_EQ(dialogs_.boxes[1].text, QStringLiteral("Abbruch. Es wurde kein Screenshot erzeugt"));
}

TEST_F(PromptTest, CloseBoxCancelsWithoutAMessage) {
  TfrmEingabe dialog(s_, dialogs_);
  EXPECT_EQ(executeWith(dialog, [&] { dialog.close(); }), 2);
  EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(PromptTest, TheCaptionButtonCopiesTheTextUnchecked) {
  s_.Beschriftung.Text = QStringLiteral("Bericht/Mai");
  TfrmEingabe dialog(s_, dialogs_);
  QString text, info;
  executeWith(dialog, [&] {
    QTest::keyClicks(dialog.edFileName(), QStringLiteral("weg"));
    dialog.btnText()->click();
    text = dialog.edFileName()->text();
    info = dialog.lblInfotext()->text();
    dialog.btnOk()->click();
    dialog.btnAbbruch()->click();
  });
  EXPECT_EQ(text, QStringLiteral("Bericht/Mai"));
  EXPECT_EQ(info, QStringLiteral("Beschriftung eingefügt"));
  ASSERT_GE(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].text, InvalidNameMessage());
}

TEST_F(PromptTest, TheEditKeepsItsTextAndLengthLimitAcrossPrompts) {
  TfrmEingabe dialog(s_, dialogs_);
  executeWith(dialog, [&] {
    QTest::keyClicks(dialog.edFileName(), QString(300, QLatin1Char('x')));
    QTest::keyClick(dialog.edFileName(), Qt::Key_Return);
  });
  EXPECT_EQ(dialog.PromptResult(), path(QString(250, QLatin1Char('x')) + QStringLiteral(".bmp")));
  QString second, info;
  executeWith(dialog, [&] {
    second = dialog.edFileName()->text();
    info = dialog.lblInfotext()->text();
    dialog.btnOk()->click();
  });
  EXPECT_EQ(second, QString(250, QLatin1Char('x')));
  EXPECT_EQ(info, QStringLiteral("Übernehmen = ENTER"));
}

}  // namespace
}  // namespace lumora
