#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "FakeOptionsWindow.h"
#include "Fakes.h"
#include "settings/Defaults.h"
#include "ui/CaptionTab.h"
#include "ui/SelectionTab.h"
#include "ui/TfrmMain.h"

namespace lumora {
namespace {

using Size = std::pair<int64_t, int64_t>;

class SelectionTabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDefaults(s_, QSize(1280, 1024), QStringLiteral("/tmp/lumora/"));
    s_.Auswahl = {100, 50, 740, 530, false};
    tab_.setScreenSizeSource([] { return QSize(1280, 1024); });
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
  QString text(const char* name) { return child<QLabel>(name)->text(); }

  Settings s_;
  test::FakeDialogs dialogs_;
  test::FixedClock clock_;
  FileNaming naming_{s_, dialogs_};
  OptionsContext ctx_{s_, dialogs_, clock_, naming_};
  test::FakeOptionsWindow window_;
  SelectionTab tab_{ctx_, window_};
};

TEST_F(SelectionTabTest, TheWholeScreenChoiceAndThePointerBoxWriteTheirSettings) {
  auto* choice = child<QComboBox>("cbBildschirm");
  auto* pointer = child<QCheckBox>("cbMauszeiger");
  EXPECT_EQ(choice->currentIndex(), 0);
  EXPECT_FALSE(pointer->isChecked());
  // Without a chosen area the size panel follows the choice at once.
  const size_t before = window_.statusSizes.size();
  choice->setCurrentIndex(2);
  EXPECT_EQ(s_.Bildschirm.Bereich, wsAlle);
  ASSERT_EQ(window_.statusSizes.size(), before + 1);
  EXPECT_EQ(window_.statusSizes.back(), Size(1280, 1024));
  QTest::mouseClick(pointer, Qt::LeftButton);
  EXPECT_TRUE(s_.Bildschirm.Mauszeiger);
  // The stored values come back into the controls.
  s_.Bildschirm = {wsMauszeiger, false};
  tab_.loadFromSettings();
  EXPECT_EQ(choice->currentIndex(), 1);
  EXPECT_FALSE(pointer->isChecked());
}

TEST_F(SelectionTabTest, StartUpShowsTheStoredSelectionEvenWhenNotInUse) {
  EXPECT_FALSE(child<QCheckBox>("cbUseAuswahl")->isChecked());
  ASSERT_EQ(window_.statusSizes.size(), 1u);
  EXPECT_EQ(window_.statusSizes.back(), Size(640, 480));
  const std::pair<const char*, const char*> labels[] = {
      {"lblSizeX", "640"},        {"lblSizeY", "480"},        {"lblLinksObenH", "100"},
      {"lblLinksObenV", "50"},    {"lblRechtsUntenH", "740"}, {"lblRechtsUntenV", "530"}};
  for (const auto& [name, want] : labels) {
    EXPECT_EQ(text(name), QLatin1String(want)) << name;
    EXPECT_TRUE(child<QLabel>(name)->font().bold()) << name;
  }
  // The placeholder until the first selection.
  EXPECT_EQ(child<QLabel>("imgPreView")->pixmap().size(), QSize(112, 88));
}

TEST_F(SelectionTabTest, TheBoxSwitchesBetweenSelectionAndScreen) {
  QCheckBox* box = child<QCheckBox>("cbUseAuswahl");
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_TRUE(s_.Auswahl.Aktiv);
  EXPECT_EQ(window_.statusSizes.back(), Size(640, 480));
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_FALSE(s_.Auswahl.Aktiv);
  EXPECT_EQ(window_.statusSizes.back(), Size(1280, 1024));
  // The preview stays as it was.
  EXPECT_EQ(child<QLabel>("imgPreView")->pixmap().size(), QSize(112, 88));
}

TEST_F(SelectionTabTest, TheButtonAsksForTheRegionSelectionThroughTheGuard) {
  QPushButton* button = child<QPushButton>("btnAuswahl");
  EXPECT_EQ(button->text(), QStringLiteral("Bereichsauswahl..."));
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(window_.selectionRequests, 1);
  EXPECT_EQ(window_.regionSelections, 0) << "never straight to the overlay, past the one-at-a-time guard";
}

TEST_F(SelectionTabTest, ADoneSelectionTicksTheBoxAndTintsThePreview) {
  const QImage thumb = test::TestPattern(157, 124);
  tab_.selectionDone(thumb);
  EXPECT_TRUE(child<QCheckBox>("cbUseAuswahl")->isChecked());
  EXPECT_TRUE(s_.Auswahl.Aktiv);
  EXPECT_EQ(window_.statusSizes.back(), Size(640, 480));
  const QImage shown = child<QLabel>("imgPreView")->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(157, 124));
  const std::pair<QPoint, bool> probes[] = {
      {{0, 0}, true},    {{156, 5}, true},  {{11, 6}, true},   {{12, 6}, false}, {{90, 63}, false},
      {{91, 63}, true},  {{50, 64}, true},  {{156, 123}, true}, {{50, 30}, false}};
  for (const auto& [p, tinted] : probes) {
    const QRgb want = tinted ? (thumb.pixel(p) & 0xffb30000u) : thumb.pixel(p);
    EXPECT_EQ(shown.pixel(p), want) << p.x() << "," << p.y();
  }
}

TEST_F(SelectionTabTest, TheRunningTimerLocksTheTab) {
  tab_.lockForTimer(true);
  EXPECT_FALSE(child<QPushButton>("btnAuswahl")->isEnabled());
  EXPECT_FALSE(child<QCheckBox>("cbUseAuswahl")->isEnabled());
  // The overlay can still be reached from the tray while the timer runs.
  tab_.selectionDone(test::TestPattern(157, 124));
  EXPECT_TRUE(s_.Auswahl.Aktiv);
  tab_.lockForTimer(false);
  EXPECT_TRUE(child<QPushButton>("btnAuswahl")->isEnabled());
  EXPECT_TRUE(child<QCheckBox>("cbUseAuswahl")->isEnabled());
}

// Both tabs inside the real window: the overlay's rectangle reaches the status
// bar, and the tabs fit the fixed window. LUMORA_TAB_PICTURES names a folder for
// pictures of the two tabs.
TEST(OptionsWindowTabs, SelectionReachesTheStatusBarAndTheTabsFit) {
  Settings s;
  SetDefaults(s, QSize(1280, 1024), QStringLiteral("/tmp/lumora/"));
  test::FakeDialogs dialogs;
  test::FixedClock clock;
  FileNaming naming(s, dialogs);
  OptionsContext ctx{s, dialogs, clock, naming};
  // An overlay that always comes back with the same rectangle.
  struct FixedSelector : RegionSelector {
    ScreenRect SelectRegion(uint8_t, uint8_t, const ScreenRect&) override { return {100, 50, 740, 530}; }
    const QImage& Thumbnail() const override { return thumb; }
    QImage thumb = test::TestPattern(157, 124);
  } selector;
  TfrmMain::Commands commands;
  commands.selector = &selector;
  commands.screenSize = [] { return QSize(1280, 1024); };
  TfrmMain frm(ctx, commands);
  frm.selectionTab()->setScreenSizeSource(commands.screenSize);
  EXPECT_EQ(frm.panelText(0), QStringLiteral("1280 x 1024"));
  frm.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));

  // The window's button goes the way the hotkey and the menu go; the command
  // itself runs when that way is free.
  int requests = 0;
  TfrmMain::Commands guarded;
  guarded.requestSelectRegion = [&] { ++requests; };
  TfrmMain routed(ctx, guarded);
  QTest::mouseClick(routed.selectionTab()->findChild<QPushButton*>(QStringLiteral("btnAuswahl")), Qt::LeftButton);
  EXPECT_EQ(requests, 1);

  frm.SelectRegionCommand();
  EXPECT_EQ(frm.panelText(0), QStringLiteral("640 x 480"));
  EXPECT_TRUE(s.Auswahl.Aktiv);
  QTest::mouseClick(frm.captionTab()->findChild<QToolButton*>(QStringLiteral("btnUnten")), Qt::LeftButton);
  EXPECT_EQ(frm.panelText(1), QStringLiteral("Unten"));

  const QString folder = qEnvironmentVariable("LUMORA_TAB_PICTURES");
  for (QWidget* page : {static_cast<QWidget*>(frm.captionTab()), static_cast<QWidget*>(frm.selectionTab())}) {
    frm.pages()->setCurrentWidget(page);
    QApplication::processEvents();
    // Nothing the page asks for is cut off by the fixed window.
    EXPECT_LE(page->minimumSizeHint().width(), page->width()) << page->objectName().toStdString();
    EXPECT_LE(page->minimumSizeHint().height(), page->height()) << page->objectName().toStdString();
    if (!folder.isEmpty()) frm.grab().save(QDir(folder).filePath(page->objectName() + QStringLiteral(".png")));
  }
}

}  // namespace
}  // namespace lumora
