#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "FakeDialogs.h"
#include "app/tray/InfoPopupShape.h"
#include "app/tray/ShortcutChoices.h"
#include "app/tray/TShortcut.h"
#include "app/tray/TfrmInfo.h"
#include "platform/CaptureNotice.h"

using namespace lumora;
using test::FakeDialogs;

TEST(ShortcutDialog, OffersThirtySixKeysAndWarnsAboutEqualChoices) {
  const QStringList entries = ShortcutEntries();
  ASSERT_EQ(entries.size(), 36);
  EXPECT_EQ(entries.first(), QStringLiteral("A"));
  EXPECT_EQ(entries[26], QStringLiteral("1"));
  EXPECT_EQ(entries.last(), QStringLiteral("0"));

  ShortcutSettings letters{'S', 'A'};
  FakeDialogs dialogs;
  std::vector<std::pair<char, char>> saved;
  char savedWindow = 0;
  TShortcut dialog(letters, dialogs, [&](char s, char a, char w) {
    saved.emplace_back(s, a);
    savedWindow = w;
    return true;
  });
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Lumora - Shortcuts personalisieren"));
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_EQ(dialog.cbScreen()->currentText(), QStringLiteral("S"));
  EXPECT_EQ(dialog.cbAuswahl()->currentText(), QStringLiteral("A"));

  // Choosing the other box's key warns and keeps the choice.
  dialog.cbAuswahl()->setCurrentIndex(ShortcutIndex('S'));
  Q_EMIT dialog.cbAuswahl()->activated(ShortcutIndex('S'));
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].kind, FakeDialogs::Kind::Warning);
  EXPECT_EQ(dialogs.boxes[0].text,
            QStringLiteral("Die Shortcuts für den Screenshot und die Auswahl sind identisch. Bitte\n"
                           "wählen Sie zwei unterschiedliche Zeichen aus."));
  EXPECT_EQ(QApplication::focusWidget(), dialog.cbAuswahl());
  // The third row, the active window's key, is checked against both.
  EXPECT_EQ(dialog.cbFenster()->currentText(), QStringLiteral("W"));
  dialog.cbAuswahl()->setCurrentIndex(ShortcutIndex('A'));
  dialog.cbFenster()->setCurrentIndex(ShortcutIndex('A'));
  Q_EMIT dialog.cbFenster()->activated(ShortcutIndex('A'));
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[1].text, QStringLiteral("Der Shortcut für das aktive Fenster ist bereits vergeben. Bitte\n"
                                                  "wählen Sie ein anderes Zeichen aus."));
  EXPECT_EQ(QApplication::focusWidget(), dialog.cbFenster());

  // Combinations another program holds are named on the hint line.
  EXPECT_TRUE(dialog.hintText().isEmpty());
  dialog.setUnavailable({"Ctrl+Alt+S"});
  EXPECT_EQ(dialog.hintText(), QStringLiteral("Von einem anderen Programm belegt: Strg+Alt+S"));
  // Where the desktop binds the keys, the hint line names what it bound.
  dialog.setDesktopBindings({"Screenshot erstellen: Ctrl+Shift+P"});
  EXPECT_EQ(dialog.hintText(), QStringLiteral("Von einem anderen Programm belegt: Strg+Alt+S\n"
                                              "Vom Desktop vergeben: Screenshot erstellen: Strg+Shift+P"));
  dialog.setUnavailable({});
  dialog.setDesktopBindings({});
  EXPECT_TRUE(dialog.hintText().isEmpty());

  // Cancel: nothing changes.
  dialog.findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(letters.SC_Auswahl, 'A');
  EXPECT_TRUE(saved.empty());

  // Confirm "0" for the capture: stored at once as the character '0'.
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_EQ(dialog.cbAuswahl()->currentText(), QStringLiteral("A")) << "each show starts from the letters";
  dialog.cbScreen()->setCurrentIndex(ShortcutIndex('0'));
  dialog.findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(letters.SC_Screen, '0');
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0], std::make_pair('0', 'A'));
  EXPECT_EQ(savedWindow, 'W') << "each show starts from the letters";
}

TEST(InfoPopup, IsCutToTheEllipseAndNotRestartedByASecondShow) {
  const std::vector<QRect> spans = InfoPopupSpans();
  ASSERT_EQ(spans.size(), 103u);
  EXPECT_EQ(spans.front(), QRect(QPoint(45, 1), QPoint(59, 1)));
  EXPECT_EQ(spans[51], QRect(QPoint(1, 52), QPoint(103, 52)));  // the widest rows
  for (size_t i = 0; i < spans.size(); ++i) {
    const QRect& row = spans[i];
    EXPECT_EQ(row.left() + row.right(), 104) << "row " << row.top() << " is centred";
    EXPECT_EQ(row, spans[102 - i].translated(0, row.top() - spans[102 - i].top())) << "rows mirror";
  }

  TfrmInfo popup;
  EXPECT_TRUE(popup.mask().contains(QPoint(52, 52)));
  EXPECT_FALSE(popup.mask().contains(QPoint(0, 0)));
  EXPECT_FALSE(popup.mask().contains(QPoint(5, 5)));
  EXPECT_FALSE(popup.mask().contains(QPoint(52, 104)));

  popup.showPopup();
  ASSERT_TRUE(popup.isVisible());
  const int timer = popup.displayTimer().timerId();
  EXPECT_EQ(popup.displayTimer().interval(), 2000);
  popup.showPopup();
  EXPECT_EQ(popup.displayTimer().timerId(), timer) << "a second show must not restart the countdown";
  EXPECT_TRUE(QTest::qWaitFor([&] { return !popup.isVisible(); }, 10000));
  EXPECT_FALSE(popup.displayTimer().isActive());
}

TEST(InfoPopup, WhereTheDesktopConfirmsCapturesItsNoticeStandsInForTheBadge) {
  struct Notice : CaptureNotice {
    bool show() override {
      log << QStringLiteral("show");
      return works;
    }
    void close() override { log << QStringLiteral("close"); }
    QStringList log;
    bool works = true;
  } notice;
  lumora::TfrmInfo popup;
  popup.setNotice(&notice);
  popup.displayTimer().setInterval(10);
  popup.showPopup();
  popup.showPopup();
  EXPECT_FALSE(popup.isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !popup.displayTimer().isActive(); }, 5000));
  EXPECT_EQ(notice.log, (QStringList{"show", "close"})) << "one notice, taken away after the badge's time";
  // No notification server: the badge after all.
  notice.works = false;
  popup.showPopup();
  EXPECT_TRUE(popup.isVisible());
  popup.hide();
}
