#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "capture/ScreenGrab.h"
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
