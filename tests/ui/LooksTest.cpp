// Controls look like what they are: the pressed position button, path labels
// that shorten in the middle, the information picture.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "TabTestSupport.h"
#include "ui/CaptionTab.h"
#include "ui/widgets/ElidedLabel.h"
#include "ui/InfoPicture.h"
#include "ui/InfoTab.h"

using namespace lumora;

namespace {

// The mean distance of two equally large pictures, per colour channel (0..255).
double Difference(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
  double sum = 0;
  for (int row = 0; row < x.height(); ++row)
    for (int col = 0; col < x.width(); ++col) {
      const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
  return sum / (3.0 * x.width() * x.height());
}

}  // namespace

TEST(Looks, TheChosenCaptionPositionStandsOutFromTheOthers) {
  test::TabFixture f;
  test::FakeOptionsWindow window;
  CaptionTab tab(f.ctx, window);
  tab.resize(480, 260);
  tab.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tab));
  auto* oben = tab.findChild<QToolButton*>(QStringLiteral("btnOben"));
  auto* unten = tab.findChild<QToolButton*>(QStringLiteral("btnUnten"));
  QTest::mouseClick(oben, Qt::LeftButton);
  ASSERT_TRUE(oben->isChecked());
  const QImage pressed = oben->grab().toImage();
  QTest::mouseClick(unten, Qt::LeftButton);
  const QImage released = oben->grab().toImage();
  EXPECT_GT(Difference(pressed, released), 40.0) << "seen at a glance, not a shade darker";
}

TEST(Looks, LongPathsShortenInTheMiddleAndKeepTheWholeTextBehind) {
  const QString path = QStringLiteral("/home/anna/Bilder/Bildschirmfotos/Urlaub 2026/Sommer am Meer/Screen 00041.bmp");
  ElidedLabel label;
  label.setPath(path);
  label.resize(160, 20);
  const QString shown = label.shownText();
  EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
  EXPECT_TRUE(shown.startsWith(QStringLiteral("/home"))) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith(QStringLiteral(".bmp"))) << shown.toStdString();
  EXPECT_LE(label.fontMetrics().horizontalAdvance(shown), 160);
  EXPECT_EQ(label.text(), path);
  EXPECT_EQ(label.toolTip(), path);
  EXPECT_EQ(label.minimumSizeHint().width(), 0) << "never widens its layout";
  label.resize(2000, 20);
  EXPECT_EQ(label.shownText(), path);
}

TEST(Looks, TheInformationPictureNamesTheHotkeysInUse) {
  EXPECT_EQ(HotkeyLines({'Q', '7'}), (QStringList{"Strg+Alt+Q  Screenshot", "Strg+Alt+7  Bereichsauswahl"}));
  const QImage back(QStringLiteral(":/lumora/info-back.png"));
  ASSERT_FALSE(back.isNull());
  const QImage usual = InfoPicture(back, {'S', 'A'});
  const QImage other = InfoPicture(back, {'Q', '7'});
  EXPECT_EQ(usual.size(), back.size());
  EXPECT_GT(Difference(usual, back.convertToFormat(QImage::Format_RGB32)), 1.0) << "texts drawn";
  EXPECT_NE(usual, other);
  // Only the hotkey lines change.
  const QRect above(0, 0, back.width(), 165);
  EXPECT_EQ(usual.copy(above), other.copy(above));

  // The tab draws it anew whenever it shows.
  test::TabFixture f;
  test::FakeOptionsWindow window;
  InfoTab tab(f.ctx, window);
  tab.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tab));
  auto* picture = tab.findChild<QLabel*>(QStringLiteral("imgHilfe"));
  EXPECT_EQ(picture->pixmap().toImage().convertToFormat(QImage::Format_RGB32), usual);
  tab.hide();
  f.settings.Shortcuts = {'Q', '7'};
  tab.show();
  EXPECT_EQ(picture->pixmap().toImage().convertToFormat(QImage::Format_RGB32), other);
}
