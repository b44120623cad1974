#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "FakeDialogs.h"
#include "FakeOptionsWindow.h"
#include "Fakes.h"
#include "settings/Defaults.h"
#include "settings/ValueCodes.h"
#include "ui/CaptionTab.h"

namespace lumora {
namespace {

class CaptionTabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDefaults(s_, QSize(1280, 1024), QStringLiteral("/tmp/lumora/"));
    tab_.loadFromSettings();
    tab_.initWindowState();
    tab_.resize(480, 250);
    tab_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tab_));
  }
  template <typename T>
  T* child(const char* name) {
    T* w = tab_.findChild<T*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QImage picture(const char* name) {
    return child<QLabel>(name)->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
  }
  void click(const char* name) { QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton); }
  // A band row of the position preview is the background ANDed with red.
  bool bandAt(int row) {
    const QImage preview = picture("imgPosPreBack");
    const QImage back =
        QImage(QStringLiteral(":/lumora/caption-position-back.png")).convertToFormat(QImage::Format_RGB32);
    for (int x = 0; x < preview.width(); ++x)
      if (preview.pixel(x, row) != (back.pixel(x, row) & 0xffff0000u)) return false;
    return true;
  }

  Settings s_;
  test::FakeDialogs dialogs_;
  test::FixedClock clock_;
  FileNaming naming_{s_, dialogs_};
  OptionsContext ctx_{s_, dialogs_, clock_, naming_};
  test::FakeOptionsWindow window_;
  CaptionTab tab_{ctx_, window_};
};

TEST_F(CaptionTabTest, DefaultsReachTheControls) {
  EXPECT_TRUE(child<QToolButton>("btnKeine")->isChecked());
  EXPECT_EQ(child<QComboBox>("cbTextSize")->currentText(), QStringLiteral("14  Pixel"));
  EXPECT_EQ(child<QComboBox>("cbTextColor")->currentText(), QStringLiteral("Weiß  -  clWhite"));
  EXPECT_EQ(child<QComboBox>("cbBackColor")->currentText(), QStringLiteral("Schwarz  -  clBlack"));
  EXPECT_FALSE(child<QCheckBox>("cbTransparenz")->isChecked());
  EXPECT_FALSE(child<QCheckBox>("cbZeit")->isChecked());
  EXPECT_EQ(child<QLineEdit>("edTextString")->text(), QStringLiteral("Ausgabetext"));
  EXPECT_EQ(child<QComboBox>("cbTextSize")->count(), 9);
  EXPECT_EQ(child<QComboBox>("cbTextColor")->itemText(10), QStringLiteral("Grau  -  clGray"));
  EXPECT_EQ(child<QLabel>("lblTextPreview")->toolTip(), QStringLiteral("Textvorschaufeld"));
  EXPECT_EQ(child<QLabel>("imgPosPreBack")->size(), QSize(157, 124));
  EXPECT_EQ(child<QLabel>("lblTextPreview")->size(), QSize(153, 41));
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_EQ(window_.statusPositionShown, 0);  // loading clicks nothing
}

TEST_F(CaptionTabTest, PositionButtonsAreExclusiveAndMoveTheBand) {
  struct Step {
    const char* button;
    uint8_t position;
    int bandRow;  // -1: no band anywhere
  };
  const Step steps[] = {
      {"btnOben", 0, 0}, {"btnMitte", 1, 52}, {"btnUnten", 2, 107}, {"btnKeine", 3, -1}, {"btnKeine", 3, -1}};
  int clicks = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.button);
    click(step.button);
    EXPECT_EQ(s_.Beschriftung.Position, step.position);
    EXPECT_EQ(window_.statusPositionShown, ++clicks);
    int down = 0;
    for (const char* name : {"btnOben", "btnMitte", "btnUnten", "btnKeine"})
      down += child<QToolButton>(name)->isChecked();
    EXPECT_EQ(down, 1);
    for (int row : {0, 16, 52, 68, 107, 123}) {
      const bool inBand = step.bandRow >= 0 && row >= step.bandRow && row < step.bandRow + 17;
      EXPECT_EQ(bandAt(row), inBand) << row;
    }
  }
}

TEST_F(CaptionTabTest, ListsBoxesAndTextWriteTheCaption) {
  child<QComboBox>("cbTextSize")->setCurrentIndex(8);
  EXPECT_EQ(s_.Beschriftung.FontSize, 24);
  child<QComboBox>("cbTextColor")->setCurrentIndex(5);
  EXPECT_EQ(s_.Beschriftung.TextColor, 0x00FFFFu);
  child<QComboBox>("cbBackColor")->setCurrentIndex(2);
  EXPECT_EQ(s_.Beschriftung.BackColor, 0xFF0000u);
  EXPECT_EQ(picture("lblTextPreview").pixel(0, 0), qRgb(0, 0, 255));

  click("cbTransparenz");
  EXPECT_TRUE(s_.Beschriftung.Transparent);
  const QImage back = QImage(QStringLiteral(":/lumora/caption-text-back.png")).convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(picture("lblTextPreview").pixel(0, 0), back.pixel(0, 0));
  click("cbTransparenz");
  EXPECT_FALSE(s_.Beschriftung.Transparent);

  click("cbZeit");
  EXPECT_TRUE(s_.Beschriftung.Zeiteinblenden);

  QLineEdit* edit = child<QLineEdit>("edTextString");
  edit->selectAll();
  QTest::keyClicks(edit, QStringLiteral("Hallo"));
  EXPECT_EQ(s_.Beschriftung.Text, QStringLiteral("Hallo"));
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(s_.Beschriftung.Text, QStringLiteral("Hall"));
  EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(CaptionTabTest, LoadingShowsStoredValuesAndReportsABadSize) {
  s_.Beschriftung.Position = tpMitte;
  s_.Beschriftung.FontSize = 9;
  s_.Beschriftung.TextColor = 0x008000;
  s_.Beschriftung.Transparent = true;
  s_.Beschriftung.Zeiteinblenden = true;
  s_.Beschriftung.Text = QStringLiteral("Lager");
  tab_.loadFromSettings();
  EXPECT_TRUE(child<QToolButton>("btnMitte")->isChecked());
  EXPECT_TRUE(bandAt(52));
  EXPECT_EQ(child<QComboBox>("cbTextSize")->currentIndex(), 3);
  EXPECT_EQ(s_.Beschriftung.FontSize, 14);
  ASSERT_EQ(dialogs_.boxes.size(), 1u);
  EXPECT_EQ(dialogs_.boxes[0].text, QString::fromUtf8(msg::kFontSize));
  EXPECT_EQ(child<QComboBox>("cbTextColor")->currentIndex(), 4);
  EXPECT_TRUE(child<QCheckBox>("cbTransparenz")->isChecked());
  EXPECT_TRUE(child<QCheckBox>("cbZeit")->isChecked());
  EXPECT_EQ(child<QLineEdit>("edTextString")->text(), QStringLiteral("Lager"));

  s_.Beschriftung.Position = 9;  // no button for it: all up, no band
  tab_.loadFromSettings();
  for (const char* name : {"btnOben", "btnMitte", "btnUnten", "btnKeine"})
    EXPECT_FALSE(child<QToolButton>(name)->isChecked()) << name;
  EXPECT_FALSE(bandAt(52));
  EXPECT_EQ(s_.Beschriftung.Position, 9);
}

TEST_F(CaptionTabTest, TheRunningTimerLocksTheTab) {
  tab_.lockForTimer(true);
  for (const char* name : {"btnOben", "btnMitte", "btnUnten", "btnKeine", "cbTransparenz"}) {
    EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
  }
  click("btnOben");
  EXPECT_EQ(s_.Beschriftung.Position, tpKeine);
  tab_.lockForTimer(false);
  for (const char* name : {"btnOben", "btnMitte", "btnUnten", "btnKeine", "cbTransparenz", "edTextString"})
    EXPECT_TRUE(child<QWidget>(name)->isEnabled()) << name;
}

}  // namespace
}  // namespace lumora
