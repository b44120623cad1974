// The real lumora binary in a GNOME session on Wayland: headless GNOME Shell with
// its own desktop portal, which asks the person before the first screenshot.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QThread>
#include <future>
#include <optional>

#include "Fakes.h"
#include "GnomeSession.h"
#include "StoreFile.h"
#include "TrayDriver.h"

using namespace lumora::test;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
// GNOME's top bar, with its clock: not compared between pictures taken apart.
constexpr int kTopBar = 32;

class Gnome : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    session = new GnomeSession(QStringLiteral(GNOME_SHELL_HELPER), TestPattern(kWidth, kHeight), kWidth, kHeight);
    if (session->running()) program = session->install(QStringLiteral(LUMORA_BINARY));
  }
  static void TearDownTestSuite() {
    delete session;
    session = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(session->running()) << session->error().toStdString();
    ASSERT_FALSE(program.isEmpty());
  }

  static ProcessResult lumora(const QStringList& args) {
    return session->run(program, args, 150000, {QStringLiteral("LUMORA_REGISTRY=") + file("registry.reg")});
  }
  static QString file(const char* name) { return session->folder() + QLatin1Char('/') + QLatin1String(name); }
  // A capture while the desktop's question is answered with `keys` after `afterMs`.
  static ProcessResult captureAnswering(const QStringList& keys, int afterMs, const char* output) {
    auto answer = std::async(std::launch::async, [&] {
      if (keys.isEmpty()) return true;
      QThread::msleep(afterMs);
      return session->press(keys);
    });
    const ProcessResult r = lumora({"--capture", "--delay", "0", "--output", file(output)});
    EXPECT_TRUE(answer.get());
    return r;
  }
  // Pixels of `a` and `b` that differ below the top bar, and where they are.
  static int differing(const QImage& a, const QImage& b, QRect* where = nullptr, const QRect& only = QRect()) {
    int n = 0;
    QRect box;
    for (int y = kTopBar; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x)
        if ((only.isNull() || only.contains(x, y)) && a.pixel(x, y) != b.pixel(x, y)) {
          ++n;
          box |= QRect(x, y, 1, 1);
        }
    if (where) *where = box;
    return n;
  }
  // The tray program, started with pictures into the session's folder, once it listens.
  static pid_t startTray() {
    if (!QFile::exists(file("registry.reg")) && lumora({"--capture", "--delay", "0", "--output", file("seed.png")}).exitCode != 0)
      return -1;
    SetStoreValue(file("registry.reg"), "FileDir", QStringLiteral("\"%1/\"").arg(session->folder()));
    const pid_t tray = session->start(QStringLiteral("/usr/bin/env"), {"LUMORA_REGISTRY=" + file("registry.reg"), program});
    // The two-second splash must be gone, or it is in the pictures.
    QThread::msleep(3000);
    for (int i = 0; i < 40; ++i) {
      if (lumora({"--shot"}).exitCode == 0) return tray;
      QThread::msleep(250);
    }
    return -1;
  }

  static GnomeSession* session;
  static QString program;
};

GnomeSession* Gnome::session = nullptr;
QString Gnome::program;

}  // namespace

TEST_F(Gnome, TheFirstCaptureWaitsForThePersonsAnswerAndADenialIsToldAsSuch) {
  ASSERT_TRUE(session->setScreenshotsAllowed(std::nullopt));
  // "Allow Applications to Take Screenshots?" with Deny focused: Tab, then Enter.
  ProcessResult r = captureAnswering({"0xff09", "0xff0d"}, 10000, "first.png");
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("waiting for the desktop: it may be asking on the screen")) << r.err.toStdString();
  const QImage shell = session->shellPicture();
  const QImage first = DecodeWithImageMagick(file("first.png"));
  ASSERT_EQ(first.size(), QSize(kWidth, kHeight));
  ASSERT_EQ(shell.size(), first.size());
  EXPECT_EQ(differing(first, shell), 0);
  // Allowed once, the next capture asks nobody.
  r = lumora({"--capture", "--delay", "0", "--output", file("second.png")});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_FALSE(r.err.contains("waiting")) << r.err.toStdString();

  // Denied (Enter on Deny): the message says so, and says how to allow again,
  // then and on the next capture, which the desktop refuses without asking.
  ASSERT_TRUE(session->setScreenshotsAllowed(std::nullopt));
  for (const QStringList& keys : {QStringList{"0xff0d"}, QStringList{}}) {
    r = captureAnswering(keys, 3000, "denied.png");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("lumora: the desktop refused")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("SetPermission screenshot true")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(file("denied.png")));
  }
  ASSERT_TRUE(session->setScreenshotsAllowed(true));
}

TEST_F(Gnome, AHotkeyCaptureIsConfirmedByTheShellsBannerWhichLeavesTheKeyboardAlone) {
  // A window of its own would take the keys here, and could not be put in the middle.
  ASSERT_TRUE(session->setScreenshotsAllowed(true));
  const pid_t tray = startTray();
  ASSERT_GT(tray, 0);
  // The command that found the tray program listening took a picture too.
  const bool shot = WaitFor([] { return QFile::exists(file("Screen 00000.bmp")); });
  QThread::msleep(3000);
  const QImage before = session->shellPicture();
  ASSERT_TRUE(lumora({"--shot"}).exitCode == 0);
  ASSERT_TRUE(WaitFor([] { return QFile::exists(file("Screen 00001.bmp")); }));
  QThread::msleep(400);  // the banner's first frame
  const QImage during = session->shellPicture();
  QThread::msleep(3000);  // gone after the badge's two seconds
  const QImage after = session->shellPicture();
  lumora({"--quit"});
  session->stop(tray);
  ASSERT_TRUE(shot);
  ASSERT_EQ(during.size(), before.size());
  // The banner at the top in the middle, and nothing else.
  const QRect banner(kWidth / 2 - 260, kTopBar, 520, 110);
  QRect where;
  const int changed = differing(during, before, &where);
  EXPECT_GT(changed, 20000);
  EXPECT_TRUE(banner.contains(where)) << where.x() << "," << where.y() << " " << where.width() << "x" << where.height();
  EXPECT_EQ(differing(after, before), 0);
  // GNOME names the program with the keyboard in the top bar, left of the clock.
  for (int y = 0; y < kTopBar; ++y)
    for (int x = 115; x < kWidth / 2 - 120; ++x) ASSERT_EQ(during.pixel(x, y), before.pixel(x, y)) << x << "," << y;
  // No notification area on plain GNOME: the program says so, Qt adds nothing.
  QFile err(file("client.err"));
  ASSERT_TRUE(err.open(QIODevice::ReadOnly));
  EXPECT_FALSE(err.readAll().contains("QObject::"));
}

TEST_F(Gnome, TheToolboxIsAboveTheOverlayAndTheOverlayAboveTheDesktop) {
  ASSERT_TRUE(session->setScreenshotsAllowed(true));
  const QImage before = session->shellPicture();
  const pid_t probe = session->start(session->install(QStringLiteral(OVERLAY_PROBE)), {});
  ASSERT_GT(probe, 0);
  QImage shown;
  const bool up = WaitFor([&] {
    shown = session->shellPicture();
    return differing(shown, before, nullptr, kToolboxOnOverlay) > kToolboxOnOverlay.width() * kToolboxOnOverlay.height() / 2;
  });
  // The desktop changes below the overlay, which keeps showing the frozen picture.
  QImage other = TestPattern(kWidth, kHeight);
  other.invertPixels();
  other.save(file("other.png"));
  const auto background = [](const QString& picture) {
    return session->run(QStringLiteral("gsettings"), {"set", "org.gnome.desktop.background", "picture-uri",
                                                     "file://" + picture}).exitCode == 0;
  };
  ASSERT_TRUE(background(file("other.png")));
  QThread::msleep(500);
  const QImage covered = session->shellPicture();
  session->stop(probe);
  QThread::msleep(500);
  const QImage after = session->shellPicture();
  background(session->folder() + "/../background.png");
  ASSERT_TRUE(up) << "no Toolbox at its place on the overlay";
  QRect where;
  EXPECT_EQ(differing(covered, before, &where), differing(covered, before, nullptr, kToolboxOnOverlay));
  EXPECT_TRUE(kToolboxOnOverlay.contains(where)) << where.x() << "," << where.y() << " " << where.width() << "x" << where.height();
  EXPECT_GT(differing(after, before), kWidth * (kHeight - kTopBar) / 2) << "the desktop did change";
}
