// Walks every widget of every window of the program, in the states that change
// their texts, and fails on any label or button whose text is wider than the
// control that shows it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "TextFit.h"
#include "ui/widgets/FlatButton.h"
#include "app/tray/GermanInterface.h"
#include "ui/widgets/MessageBox.h"
#include "app/tray/TShortcut.h"
#include "naming/FileNaming.h"
#include "naming/TfrmEingabe.h"
#include "selection/TfrmAuswahlInfo.h"
#include "settings/Defaults.h"
#include "ui/FormatTab.h"
#include "ui/TfrmMain.h"
#include "ui/TimerTab.h"

using namespace lumora;

namespace {

// A deep target folder, as people keep them.
const QString kFolder = QStringLiteral("/home/anna/Bilder/Bildschirmfotos/Urlaub 2026/Sommer am Meer/Erster Tag/");

void Shown(QWidget& window) {
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QApplication::processEvents();
}

// The window's misfits, each marked with the state it was seen in.
void Walk(const QWidget& window, const QString& state, QStringList& all) {
  QApplication::processEvents();
  for (const QString& misfit : test::Misfits(window)) all << state + QStringLiteral(": ") + misfit;
}

}  // namespace

TEST(TextFit, OptionsWindowInEveryTabAndState) {
  const GermanInterface german(*qApp);
  Settings settings;
  SetDefaults(settings, QSize(1280, 1024), kFolder);
  test::FakeDialogs dialogs;
  test::FixedClock clock;
  FileNaming naming(settings, dialogs);
  OptionsContext ctx{settings, dialogs, clock, naming};
  TfrmMain frm(ctx, {});
  Shown(frm);

  QStringList misfits;
  frm.showLastFile(kFolder + QStringLiteral("Screen 00041.bmp"));
  for (int tab = 0; tab < frm.pages()->count(); ++tab) {
    frm.pages()->setCurrentIndex(tab);
    Walk(frm, frm.pages()->tabText(tab), misfits);
  }
  frm.pages()->setCurrentWidget(frm.formatTab());
  for (QAbstractButton* format : frm.formatTab()->findChild<QButtonGroup*>()->buttons()) {
    format->click();
    Walk(frm, format->text(), misfits);
  }
  // Running: the button's other caption and the countdown in the status bar.
  frm.pages()->setCurrentWidget(frm.timerTab());
  frm.timerTab()->SetTimerFields(24, 59, 59);
  frm.timerTab()->btnTimerOnOff()->click();
  Walk(frm, QStringLiteral("timer running"), misfits);
  frm.timerTab()->btnTimerOnOff()->click();
  EXPECT_EQ(misfits, QStringList());
}

TEST(TextFit, FileNamePromptWithEachInfoText) {
  const GermanInterface german(*qApp);
  Settings settings;
  SetDefaults(settings, QSize(1280, 1024), kFolder);
  test::FakeDialogs dialogs;
  TfrmEingabe prompt(settings, dialogs);
  QStringList misfits;
  QTimer::singleShot(0, [&] {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&prompt));
    Walk(prompt, QStringLiteral("opened"), misfits);
    for (const char* forbidden : {":", "\"", "*", "<", "?", "|", "/", "\\"}) {
      QTest::keyClicks(prompt.edFileName(), QLatin1String(forbidden));
      EXPECT_TRUE(prompt.lblInfotext()->text().contains(QStringLiteral("ungültiges Zeichen")));
      Walk(prompt, QLatin1String(forbidden), misfits);
    }
    prompt.btnText()->click();
    Walk(prompt, QStringLiteral("caption taken"), misfits);
    prompt.reject();
  });
  prompt.Execute();
  EXPECT_EQ(misfits, QStringList());
}

TEST(TextFit, DialogsMagnifierAndMessageBoxes) {
  const GermanInterface german(*qApp);
  test::FakeDialogs dialogs;
  QStringList misfits;

  ShortcutSettings letters;
  TShortcut shortcut(letters, dialogs, {});
  Shown(shortcut);
  Walk(shortcut, QStringLiteral("shortcut dialog"), misfits);

  TfrmAuswahlInfo magnifier(QSize(1280, 1024));
  Shown(magnifier);
  Walk(magnifier, QStringLiteral("magnifier"), misfits);

  for (MessageBox::Kind kind : {MessageBox::Kind::Question, MessageBox::Kind::Error}) {
    MessageBox box(kind, QStringLiteral("Bestätigung"), QStringLiteral("Wollen Sie wirklich?"));
    Shown(box);
    Walk(box, QStringLiteral("message box"), misfits);
  }
  EXPECT_EQ(misfits, QStringList());
}

TEST(TextFit, FlatButtonsShowAFrameAtRestAndTheirFaceOnFocus) {
  const GermanInterface german(*qApp);
  QWidget window;
  FlatButton button(QStringLiteral("Übernehmen"), &window);
  QPushButton other(QStringLiteral("Abbrechen"), &window);
  button.setGeometry(10, 10, 90, 24);
  other.setGeometry(110, 10, 90, 24);
  Shown(window);
  other.setFocus();
  QApplication::processEvents();
  ASSERT_FALSE(button.raised());
  const QImage rest = button.grab().toImage();
  const QImage bare = window.grab(QRect(220, 10, 90, 24)).toImage();
  EXPECT_NE(rest.pixel(0, 12), bare.pixel(0, 12)) << "a frame even at rest";
  button.setFocus();
  QApplication::processEvents();
  EXPECT_TRUE(button.raised());
  EXPECT_NE(button.grab().toImage(), rest);
}
