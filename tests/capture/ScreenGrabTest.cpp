#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "capture/ScreenGrab.h"
#include "capture/WholeScreen.h"
#include "raster/PixelOps.h"

using namespace lumora;
using namespace std::chrono_literals;

TEST(ScreenGrab, FillsGrabBitmapAndThumbnailAndWaitsFirst) {
  test::ImageScreen screen(test::TestPattern(320, 200));
  test::FakeDialogs dialogs;
  std::vector<std::chrono::milliseconds> waits;
  ScreenGrab grab(screen, dialogs, 200ms, [&](std::chrono::milliseconds ms) { waits.push_back(ms); });

  ASSERT_EQ(grab.Thumbnail().size(), QSize(157, 124));
  ASSERT_TRUE(grab.GrabScreen(ScreenRect{5, 6, 6, 7}));
  EXPECT_EQ(waits, std::vector<std::chrono::milliseconds>{200ms});
  ASSERT_EQ(grab.GrabBitmap().size(), QSize(1, 1));
  const QRgb one = test::TestPattern(320, 200).pixel(5, 6);
  EXPECT_EQ(grab.Thumbnail().pixel(0, 0), one);
  EXPECT_EQ(grab.Thumbnail().pixel(156, 123), one);

  // A second grab: the thumbnail shows it, scaled by the colour-on-colour rule.
  ASSERT_TRUE(grab.GrabScreen(grab.wholeScreen()));
  EXPECT_EQ(grab.GrabBitmap().size(), QSize(320, 200));
  EXPECT_EQ(grab.Thumbnail(), stretchColorOnColor(grab.GrabBitmap(), QSize(157, 124)));
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST(ScreenGrab, FailureShowsTheErrorBoxAndKeepsTheThumbnail) {
  test::ImageScreen screen(test::TestPattern(64, 48));
  test::FakeDialogs dialogs;
  ScreenGrab grab(screen, dialogs, 0ms);
  ASSERT_TRUE(grab.GrabScreen(grab.wholeScreen()));
  const QImage before = grab.Thumbnail();

  screen.fail = true;
  EXPECT_FALSE(grab.GrabScreen(grab.wholeScreen()));
  EXPECT_EQ(grab.Thumbnail(), before);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].kind, test::FakeDialogs::Kind::Error);
  EXPECT_TRUE(dialogs.boxes[0].text.startsWith(QStringLiteral("Die Erstellung des Screenshots ist fehlgeschlagen! Es liegt\nein interner Fehler")));
  EXPECT_TRUE(dialogs.boxes[0].text.endsWith(QStringLiteral("Programm zu schließen und erneut zu starten.")));

  // A refusal the desktop keeps is no internal error: the box says how to undo it.
  screen.refused = true;
  EXPECT_FALSE(grab.GrabScreen(grab.wholeScreen()));
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_TRUE(dialogs.boxes[1].text.contains(QStringLiteral("Der Desktop lehnt\nScreenshots für Lumora ab")));
  EXPECT_TRUE(dialogs.boxes[1].text.contains(QStringLiteral("SetPermission screenshot true screenshot ''")));
}

TEST(WholeScreen, EachChoiceCoversItsMonitorsCountedFromThePrimary) {
  // The primary 200 x 100, one left of it and taller, one above it.
  const std::vector<QRect> monitors = {QRect(0, 0, 200, 100), QRect(-300, -20, 300, 150), QRect(50, -80, 100, 80)};
  const struct {
    uint8_t choice;
    std::optional<QPoint> pointer;
    ScreenRect want;
  } cases[] = {
      {wsPrimaer, QPoint(-10, 5), {0, 0, 200, 100}},
      {wsMauszeiger, QPoint(-10, 5), {-300, -20, 0, 130}},
      {wsMauszeiger, QPoint(60, -1), {50, -80, 150, 0}},
      {wsMauszeiger, QPoint(199, 99), {0, 0, 200, 100}},
      {wsMauszeiger, QPoint(500, 500), {0, 0, 200, 100}},  // beside every monitor
      {wsMauszeiger, std::nullopt, {0, 0, 200, 100}},
      {wsAlle, std::nullopt, {-300, -80, 200, 130}},
      {7, QPoint(-10, 5), {0, 0, 200, 100}},  // an unknown code
  };
  for (const auto& c : cases)
    EXPECT_EQ(WholeScreenRect(c.choice, monitors, c.pointer), c.want) << int(c.choice);

  // The grab follows the stored choice as it changes.
  test::ImageScreen screen(test::TestPattern(200, 100));
  screen.monitorList = monitors;
  screen.pointerAt = QPoint(60, -1);
  test::FakeDialogs dialogs;
  ScreenGrab grab(screen, dialogs, 0ms);
  tBildschirm choice;
  EXPECT_EQ(grab.wholeScreen(), (ScreenRect{0, 0, 200, 100}));
  grab.followChoice(choice);
  choice.Bereich = wsMauszeiger;
  EXPECT_EQ(grab.wholeScreen(), (ScreenRect{50, -80, 150, 0}));
  choice.Bereich = wsAlle;
  EXPECT_EQ(grab.wholeScreen(), (ScreenRect{-300, -80, 200, 130}));
  EXPECT_EQ(grab.primaryScreen(), (ScreenRect{0, 0, 200, 100}));
  // More than four times the primary's area, but all monitors together: allowed.
  EXPECT_TRUE(grab.GrabScreen(grab.wholeScreen()));
  EXPECT_TRUE(dialogs.boxes.empty());
}
