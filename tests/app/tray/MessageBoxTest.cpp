// Every multi-line message of the program, shown the way the program shows it,
// keeps exactly the line breaks of its text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "FileSizeLimit.h"
#include "TextFit.h"
#include "app/tray/GermanInterface.h"
#include "ui/widgets/MessageBox.h"
#include "ui/widgets/QtDialogs.h"
#include "app/tray/ShortcutChoices.h"
#include "app/tray/SystemActions.h"
#include "app/tray/TShortcut.h"
#include "capture/ImageSaver.h"
#include "capture/OptionCheck.h"
#include "capture/ScreenGrab.h"
#include "naming/FileNamePromptLogic.h"
#include "naming/FileNaming.h"
#include "settings/store/RegFileRegistry.h"
#include "selection/SelectionOverlayLogic.h"
#include "settings/Defaults.h"
#include "settings/SettingsStartup.h"
#include "settings/ValueCodes.h"

using namespace lumora;
using test::FakeDialogs;

namespace {

// Every box the program can show, collected by making each part of it show
// its messages.
QStringList ProgramMessages(const QString& longPath) {
  FakeDialogs d;
  d.answers.assign(64, true);
  QStringList texts;
  for (const char* text : {msg::kWelcome, msg::kReadError, msg::kFirstWriteFailed, msg::kExitSaveFailed, msg::kColor,
                           msg::kFontSize, msg::kPosition, msg::kPixelFormat, msg::kJpegMethod,
                           SelectionOverlayLogic::kNoAreaMessage})
    texts << QString::fromUtf8(text);
  texts << InvalidNameMessage() << OverwriteQuestion() + longPath << OverflowMessage() << CancelMessage();

  QTemporaryDir dir;
  RegFileRegistry registry(dir.filePath(QStringLiteral("registry.reg")));
  RegistryOp store(registry, d);
  test::FakeScreensaver screensaver;
  screensaver.works = false;
  SystemActions actions(d, store, screensaver, {});
  actions.ToggleScreensaver();
  actions.uninstallAndQuit();  // nothing stored: the removal fails too
  actions.ResetSettings();

  ShortcutSettings letters;
  TShortcut shortcuts(letters, d, {});
  shortcuts.cbScreen()->setCurrentIndex(ShortcutIndex('A'));
  Q_EMIT shortcuts.cbScreen()->activated(ShortcutIndex('A'));

  Settings s;
  SetDefaults(s, QSize(800, 600), dir.path() + QLatin1Char('/'));
  s.Beschriftung.TextColor = s.Beschriftung.BackColor;
  s.Beschriftung.FontSize = 8;
  s.Beschriftung.Position = tpOben;
  s.Beschriftung.Transparent = false;
  CheckOptions(s, d);
  s.Datei.FileSuffix = QStringLiteral(".bmp");
  for (uint8_t depth : {pf4Bit, pf16Bit}) {
    s.Format.BmpBit = depth;
    CheckOptions(s, d);
  }
  s.Datei.FileSuffix = QStringLiteral(".jpg");
  s.Format.JpegQuality = 10;
  CheckOptions(s, d);

  test::ImageScreen screen(test::TestPattern(64, 48));
  screen.fail = true;
  ScreenGrab(screen, d, std::chrono::milliseconds(0)).GrabScreen({0, 0, 64, 48});

  test::FakeClipboard clipboard;
  test::FixedClock clock;
  ImageSaver saver(d, clipboard, clock);
  tBeschriftung none;
  none.Position = tpKeine;
  const FormatSettings format{pf24Bit, 80, jmQuality};
  QImage picture = test::TestPattern(300, 200);
  saver.SaveImage(picture, dir.filePath(QStringLiteral("bild.xyz")), false, none, format);
  saver.SaveImage(picture, longPath + QStringLiteral(".bmp"), false, none, format);
  {
    const test::FileSizeLimit full(1000);
    for (const char* ext : {".bmp", ".jpg", ".tga"}) {
      QImage copy = test::TestPattern(300, 200);
      saver.SaveImage(copy, dir.filePath(QStringLiteral("voll") + QLatin1String(ext)), false, none, format);
    }
  }
  texts << d.texts();
  texts.removeDuplicates();
  return texts;
}

// Shows `text` through the program's own boxes and hands the box to `inspect`
// before answering it.
void ThroughTheProgramsBox(const QString& text, const std::function<void(QDialog&)>& inspect) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    inspect(*box);
    seen = true;
    box->accept();
  });
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] {
    if (QWidget* w = QApplication::activeModalWidget()) w->close();
  });
  watchdog.start(10000);
  QtDialogs dialogs;
  dialogs.info(text);
  EXPECT_TRUE(seen);
}

}  // namespace

TEST(MessageBoxes, EveryMultiLineMessageKeepsExactlyItsOwnLineBreaks) {
  const GermanInterface german(*qApp);
  const QString longPath = QStringLiteral("/home/anna/Bilder/Urlaub 2026/Sommer/Strand/Screen 00042");
  const QStringList texts = ProgramMessages(longPath);
  ASSERT_GE(texts.size(), 31);
  // The program's font, and a large desktop font for those who set one.
  for (int pointSize : {0, 14}) {
    QFont font = qApp->font();
    if (pointSize) font.setPointSize(pointSize);
    const QFont before = qApp->font();
    QApplication::setFont(font);
    int multiLine = 0;
    for (const QString& text : texts) {
      if (!text.contains(QLatin1Char('\n'))) continue;
      ++multiLine;
      ThroughTheProgramsBox(text, [&](QDialog& box) {
        QLabel* label = nullptr;
        for (QLabel* l : box.findChildren<QLabel*>())
          if (l->text() == text) label = l;
        ASSERT_NE(label, nullptr) << "the whole text on one label: " << text.toStdString();
        EXPECT_EQ(test::LaidOutLines(*label), text.count(QLatin1Char('\n')) + 1)
            << pointSize << " pt: " << text.toStdString();
        EXPECT_EQ(test::Misfits(box), QStringList()) << text.toStdString();
      });
    }
    EXPECT_GE(multiLine, 30);
    QApplication::setFont(before);
  }
}

TEST(MessageBoxes, OnlyALineWiderThanTheScreenIsBrokenAndNothingOfItIsLost) {
  const GermanInterface german(*qApp);
  const int screenWidth = QGuiApplication::primaryScreen()->availableGeometry().width();
  QString path = QStringLiteral("/home/anna");
  while (QFontMetrics(qApp->font()).horizontalAdvance(path) < 2 * screenWidth) path += QStringLiteral("/Unterordner");
  const QString text = OverwriteQuestion() + path;
  ThroughTheProgramsBox(text, [&](QDialog& box) {
    EXPECT_LE(box.frameGeometry().width(), screenWidth);
    auto* label = box.findChild<QLabel*>(QStringLiteral("lblText"));
    ASSERT_NE(label, nullptr);
    QStringList lines = label->text().split(QLatin1Char('\n'));
    EXPECT_GE(lines.size(), 6) << "the path takes three lines or more";
    EXPECT_EQ(lines.mid(0, 3), text.split(QLatin1Char('\n')).mid(0, 3)) << "the question's own lines stay whole";
    EXPECT_EQ(lines.mid(3).join(QString()), path);
    EXPECT_EQ(test::LaidOutLines(*label), lines.size());
    EXPECT_EQ(test::Misfits(box), QStringList());
  });
}

TEST(MessageBoxes, ButtonsAndKeys) {
  const GermanInterface german(*qApp);
  struct Case {
    MessageBox::Kind kind;
    QStringList buttons;
    Qt::Key key;
    bool answer;
  };
  const Case cases[] = {
      {MessageBox::Kind::Question, {"&Ja", "&Nein"}, Qt::Key_Return, true},
      {MessageBox::Kind::Question, {"&Ja", "&Nein"}, Qt::Key_Escape, false},
      {MessageBox::Kind::Question, {"&Ja", "&Nein"}, Qt::Key_N, false},
      {MessageBox::Kind::Error, {"OK"}, Qt::Key_Return, true},
  };
  for (const Case& c : cases) {
    MessageBox box(c.kind, QStringLiteral("Bestätigung"), QStringLiteral("Wirklich?"));
    QStringList buttons;
    for (QPushButton* b : box.findChildren<QPushButton*>()) buttons << b->text();
    EXPECT_EQ(buttons, c.buttons);
    QTimer::singleShot(0, [&] {
      QTest::keyClick(&box, c.key, c.key == Qt::Key_N ? Qt::AltModifier : Qt::NoModifier);
      if (box.isVisible()) box.done(-1);
    });
    EXPECT_EQ(box.ask(), c.answer) << c.key;
  }
}
