#include <gtest/gtest.h>

#include <QThread>

#include "Fakes.h"
#include "XvfbServer.h"
#include "platform/x11/XcbScreen.h"

using namespace lumora;

namespace {

// Points DISPLAY at the private server for the lifetime of the object.
struct DisplayEnv {
  explicit DisplayEnv(const QString& display) : old(qgetenv("DISPLAY")) { qputenv("DISPLAY", display.toLatin1()); }
  ~DisplayEnv() { qputenv("DISPLAY", old); }
  QByteArray old;
};

void expectRegion(const QImage& grabbed, const QImage& screen, const ScreenRect& r) {
  ASSERT_EQ(grabbed.size(), QSize(int(r.width()), int(r.height())));
  for (int y = 0; y < grabbed.height(); ++y)
    for (int x = 0; x < grabbed.width(); ++x) {
      const QPoint p(r.Left + x, r.Top + y);
      const QRgb expected = screen.rect().contains(p) ? screen.pixel(p) : qRgb(0, 0, 0);
      ASSERT_EQ(grabbed.pixel(x, y), expected) << "at " << x << "," << y;
    }
}

}  // namespace

TEST(XcbScreen, GrabsAKnownPicturePixelExactWithAndWithoutSharedMemory) {
  test::XvfbServer server(640, 480);
  ASSERT_TRUE(server.running());
  const QImage picture = test::TestPattern(640, 480);
  ASSERT_TRUE(test::SetRootPicture(server.display(), picture));
  DisplayEnv env(server.display());

  for (bool shm : {true, false}) {
    XcbScreen screen(shm);
    ASSERT_TRUE(screen.connected());
    EXPECT_EQ(screen.usesSharedMemory(), shm);
    EXPECT_EQ(screen.size(), QSize(640, 480));

    const ScreenRect cases[] = {
        {0, 0, 640, 480},      // whole screen
        {10, 20, 11, 21},      // one pixel
        {600, 450, 700, 500},  // past the right and bottom edges
        {-30, -5, 20, 40},     // past the left and top edges
        {700, 500, 720, 520},  // entirely off the screen
        {100, 100, 300, 250},  // a grab after a larger one reuses the segment
    };
    for (const ScreenRect& r : cases) {
      QImage grabbed;
      ASSERT_TRUE(screen.grab(r, grabbed)) << r.Left << "," << r.Top;
      expectRegion(grabbed, picture, r);
    }
    QImage bad;
    EXPECT_FALSE(screen.grab(ScreenRect{10, 10, 5, 20}, bad)) << "not normalised";
    EXPECT_FALSE(screen.grab(ScreenRect{-2147483647, 0, 2147483647, 1}, bad)) << "width overflows";
  }
}

TEST(XcbScreen, APictureStillHeldKeepsItsPixelsWhenTheNextGrabComes) {
  // The grab reuses memory between grabs; it must never write into a picture that
  // somebody still holds.
  test::XvfbServer server(320, 240);
  ASSERT_TRUE(server.running());
  const QImage first = test::TestPattern(320, 240);
  QImage second = first.mirrored(true, false);
  ASSERT_TRUE(test::SetRootPicture(server.display(), first));
  DisplayEnv env(server.display());
  XcbScreen screen;
  ASSERT_TRUE(screen.usesSharedMemory());
  const ScreenRect whole{0, 0, 320, 240};

  QImage held;
  ASSERT_TRUE(screen.grab(whole, held));
  const QImage copyOfHeld = held;  // a second holder, as a working copy would be
  ASSERT_TRUE(test::SetRootPicture(server.display(), second));
  QImage next;
  ASSERT_TRUE(screen.grab(whole, next));
  expectRegion(held, first, whole);
  expectRegion(copyOfHeld, first, whole);
  expectRegion(next, second, whole);

  // Grabbing again into the same picture, once it is the only holder, is fine too.
  ASSERT_TRUE(test::SetRootPicture(server.display(), first));
  ASSERT_TRUE(screen.grab(whole, next));
  expectRegion(next, first, whole);
  expectRegion(held, first, whole);
}

TEST(XcbScreen, AFrameOfSeveralMegabytesIsExactAndBehavesLikeAnyPicture) {
  // Frames this large live in memory of their own (huge pages); copies of them
  // must still share, detach and outlive the next grab like any picture.
  test::XvfbServer server(1280, 1024);
  ASSERT_TRUE(server.running());
  const QImage first = test::TestPattern(1280, 1024);
  const QImage second = first.mirrored(true, true);
  ASSERT_TRUE(test::SetRootPicture(server.display(), first));
  DisplayEnv env(server.display());
  XcbScreen screen;
  const ScreenRect whole{0, 0, 1280, 1024};

  QImage frame;
  ASSERT_TRUE(screen.grab(whole, frame));
  expectRegion(frame, first, whole);
  QImage edited = frame;
  edited.setPixel(0, 0, qRgb(1, 2, 3));
  EXPECT_EQ(frame.pixel(0, 0), first.pixel(0, 0)) << "an edited copy detaches";

  const QImage held = frame;
  ASSERT_TRUE(test::SetRootPicture(server.display(), second));
  ASSERT_TRUE(screen.grab(whole, frame));
  expectRegion(held, first, whole);
  expectRegion(frame, second, whole);
}

TEST(XcbScreen, FollowsTheServersMonitorsAndSizeWhileItRuns) {
  std::unique_ptr<test::XvfbServer> server = test::XvfbServer::Xvnc(1280, 1024);
  ASSERT_TRUE(server->running());
  DisplayEnv env(server->display());
  XcbScreen screen;
  ASSERT_TRUE(screen.connected());
  EXPECT_EQ(screen.size(), QSize(1280, 1024));
  auto xrandr = [&](const QStringList& args) {
    return test::RunProcess("xrandr", args, server->display(), 20000).exitCode == 0;
  };
  auto becomes = [&](QSize want) {
    for (int i = 0; i < 100 && screen.size() != want; ++i) QThread::msleep(20);
    return screen.size() == want;
  };
  // A monitor plugged in as the primary one, then taken away; a new resolution.
  ASSERT_TRUE(xrandr({"--setmonitor", "*M2", "600/150x400/100+100+50", "none"}));
  EXPECT_TRUE(becomes(QSize(600, 400)));
  EXPECT_EQ(screen.primary().topLeft(), QPoint(100, 50));
  // Every monitor, counted from the primary's corner, the primary first.
  EXPECT_EQ(screen.monitors(), (std::vector<QRect>{{0, 0, 600, 400}, {-100, -50, 1280, 1024}}));
  ASSERT_TRUE(xrandr({"--delmonitor", "M2"}));
  EXPECT_TRUE(becomes(QSize(1280, 1024)));
  ASSERT_TRUE(xrandr({"-s", "1024x768"}));
  EXPECT_TRUE(becomes(QSize(1024, 768)));
}
