// The real lumora binary in a Wayland session: headless sway with the desktop portal.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <QThread>
#include <unistd.h>

#include "Fakes.h"
#include "StoreFile.h"
#include "SwaySession.h"
#include "TrayDriver.h"
#include "XvfbServer.h"

using namespace lumora::test;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

class Wayland : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    picture = TestPattern(kWidth, kHeight).convertToFormat(QImage::Format_RGB32);
    session = new SwaySession(picture, kWidth, kHeight);
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

  static ProcessResult lumora(const QStringList& args, const QStringList& env = {}) {
    return session->run(program, args, 60000,
                        QStringList{QStringLiteral("LUMORA_REGISTRY=") + session->folder() + "/registry.reg"} + env);
  }
  static QString file(const char* name) { return session->folder() + QLatin1Char('/') + QLatin1String(name); }
  // The part of `screen` at (left, top), black where it leaves the screen.
  static QImage crop(const QImage& screen, int left, int top, int width, int height) {
    QImage out(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const QPoint p(left + x, top + y);
        out.setPixel(x, y, screen.rect().contains(p) ? screen.pixel(p) : qRgb(0, 0, 0));
      }
    return out;
  }
  static void expectSame(const QImage& got, const QImage& want) {
    ASSERT_EQ(got.size(), want.size());
    for (int y = 0; y < want.height(); ++y)
      for (int x = 0; x < want.width(); ++x) ASSERT_EQ(got.pixel(x, y), want.pixel(x, y)) << x << "," << y;
  }

  static SwaySession* session;
  static QImage picture;
  static QString program;
};

SwaySession* Wayland::session = nullptr;

// Whether sway's window tree holds a full-screen window of the program.
bool FullScreenWindow(const QByteArray& tree, const QString& appId) {
  std::function<bool(const QJsonObject&)> find = [&](const QJsonObject& node) {
    if (node.value("app_id").toString() == appId && node.value("fullscreen_mode").toInt() == 1) return true;
    for (const char* list : {"nodes", "floating_nodes"})
      for (const QJsonValue& child : node.value(QLatin1String(list)).toArray())
        if (find(child.toObject())) return true;
    return false;
  };
  return find(QJsonDocument::fromJson(tree).object());
}

// Where sway shows the content of the window titled `title`, or an empty rectangle.
QRect WindowRect(const QByteArray& tree, const char* title) {
  std::function<QRect(const QJsonObject&)> find = [&](const QJsonObject& node) {
    if (node.value("name").toString() == QLatin1String(title)) {
      const QJsonObject r = node.value("rect").toObject(), w = node.value("window_rect").toObject();
      return QRect(r.value("x").toInt() + w.value("x").toInt(), r.value("y").toInt() + w.value("y").toInt(),
                   w.value("width").toInt(), w.value("height").toInt());
    }
    for (const char* list : {"nodes", "floating_nodes"})
      for (const QJsonValue& child : node.value(QLatin1String(list)).toArray()) {
        const QRect found = find(child.toObject());
        if (!found.isEmpty()) return found;
      }
    return QRect();
  };
  return find(QJsonDocument::fromJson(tree).object());
}
QImage Wayland::picture;
QString Wayland::program;

}  // namespace

TEST_F(Wayland, CaptureEqualsGrimPixelForPixelAndCropsARegion) {
  const QImage grim = session->grimPicture();
  ASSERT_FALSE(grim.isNull());
  // The output shows the known picture, so a black or stale capture cannot pass.
  expectSame(grim, picture);

  ProcessResult r = lumora({"--capture", "--delay", "0", "--output", file("whole.bmp")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(QString::fromUtf8(r.out).trimmed(), file("whole.bmp"));
  expectSame(DecodeWithImageMagick(file("whole.bmp")), grim);

  r = lumora({"--capture", "--delay", "0", "--region", "600,440,700,500", "--output", file("part.bmp")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  expectSame(DecodeWithImageMagick(file("part.bmp")), crop(grim, 600, 440, 100, 60));
  // The portal's own file served these requests only.
  EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/out.png")));
}

TEST_F(Wayland, ASessionWithAnXDisplayBesideItNeverTakesTheX11Path) {
  // Xwayland or a stray DISPLAY would show something else; here another picture.
  XvfbServer x(kWidth, kHeight);
  ASSERT_TRUE(x.running());
  QImage other = picture;
  other.invertPixels();
  ASSERT_TRUE(SetRootPicture(x.display(), other));

  ProcessResult r = lumora({"--capture", "--delay", "0", "--output", file("wayland.bmp")},
                           {QStringLiteral("DISPLAY=") + x.display()});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  expectSame(DecodeWithImageMagick(file("wayland.bmp")), picture);

  // The override reaches the X server, so the one above was really within reach.
  r = lumora({"--capture", "--delay", "0", "--output", file("x11.bmp")},
             {QStringLiteral("DISPLAY=") + x.display(), QStringLiteral("LUMORA_BACKEND=x11")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  expectSame(DecodeWithImageMagick(file("x11.bmp")), other);
}

TEST_F(Wayland, WithoutThePortalACaptureFailsClearlyAndWritesNothing) {
  ASSERT_TRUE(session->stopPortal());
  const ProcessResult r = lumora({"--capture", "--delay", "0", "--output", file("none.bmp")});
  const bool restarted = session->restartPortal();
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("Fehler: Die Erstellung des Screenshots ist fehlgeschlagen")) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("lumora: the desktop portal is not available for screenshots")) << r.err.toStdString();
  EXPECT_TRUE(r.out.isEmpty());
  EXPECT_FALSE(QFile::exists(file("none.bmp")));
  ASSERT_TRUE(restarted);

  // No compositor behind WAYLAND_DISPLAY, or no session bus: one line each.
  for (const QStringList& env : {QStringList{QStringLiteral("WAYLAND_DISPLAY=wayland-77")},
                                 QStringList{QStringLiteral("DBUS_SESSION_BUS_ADDRESS=")}}) {
    const ProcessResult e = lumora({"--capture", "--delay", "0", "--output", file("none.bmp")}, env);
    EXPECT_EQ(e.exitCode, 1) << env.join(' ').toStdString();
    EXPECT_EQ(e.err.count('\n'), 1) << e.err.toStdString();
    EXPECT_FALSE(QFile::exists(file("none.bmp")));
  }
}

TEST_F(Wayland, TheSelectionOverlayCoversTheOutputWithTheFrozenPicturePixelForPixel) {
  // The tray program opens it on a command this build does not have yet; the
  // probe opens it the same way. Headless sway has no pointer to drag with.
  const QString probe = session->install(QStringLiteral(OVERLAY_PROBE));
  const pid_t pid = session->start(probe, {});
  ASSERT_GT(pid, 0);
  bool fullScreen = false;
  for (int i = 0; i < 200 && !fullScreen; ++i) {
    fullScreen = FullScreenWindow(session->swaymsg({"-t", "get_tree"}), QStringLiteral("overlay_probe"));
    if (!fullScreen) QThread::msleep(50);
  }
  QThread::msleep(300);  // the first frame after the full-screen switch
  const QImage shown = session->grimPicture();
  // The Toolbox is drawn on it, in its frame at the output's corner.
  const QRect toolbox = kToolboxOnOverlay;
  session->stop(pid);
  ASSERT_TRUE(fullScreen);
  ASSERT_EQ(shown.size(), picture.size());
  // On top of the overlay, not under it: its own pixels are on the screen.
  int own = 0;
  for (int y = toolbox.top(); y <= toolbox.bottom(); ++y)
    for (int x = toolbox.left(); x <= toolbox.right(); ++x) own += shown.pixel(x, y) != picture.pixel(x, y);
  EXPECT_GT(own, toolbox.width() * toolbox.height() / 2);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      if (!toolbox.contains(x, y)) {
        ASSERT_EQ(shown.pixel(x, y), picture.pixel(x, y)) << x << "," << y;
      }
}

TEST_F(Wayland, TheTrayProgramCapturesThroughTheShotCommand) {
  // Wayland users bind a compositor key to `lumora --shot`; that command reaches
  // the running tray program, which takes the picture through the portal.
  const ProcessResult setup = lumora({"--capture", "--delay", "0", "--output", file("first.bmp")});
  ASSERT_EQ(setup.exitCode, 0) << setup.err.toStdString();
  const QString registry = session->folder() + "/registry.reg";
  ASSERT_TRUE(SetStoreValue(registry, "FileDir", QStringLiteral("\"%1/\"").arg(session->folder())));
  const pid_t tray = session->start(QStringLiteral("/usr/bin/env"), {"LUMORA_REGISTRY=" + registry, program});
  ASSERT_GT(tray, 0);
  // It listens once its windows exist; until then --shot finds nobody. The
  // two-second splash must be gone, or it is in the picture.
  QThread::msleep(3000);
  ProcessResult r;
  for (int i = 0; i < 40; ++i) {
    r = lumora({"--shot"});
    if (r.exitCode == 0) break;
    QThread::msleep(250);
  }
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  const bool shot = WaitFor([&] { return QFile::exists(file("Screen 00000.bmp")); });
  // The badge for the hotkey capture: a round disc with the desktop around it.
  QRect badge;
  WaitFor([&] { return !(badge = WindowRect(session->swaymsg({"-t", "get_tree"}), "Lumora Info")).isEmpty(); }, 1500);
  QThread::msleep(200);  // its first frame
  const QImage withBadge = session->grimPicture();
  const ProcessResult quit = lumora({"--quit"});
  session->stop(tray);
  ASSERT_TRUE(shot);
  QThread::msleep(300);
  expectSame(DecodeWithImageMagick(file("Screen 00000.bmp")), picture);
  EXPECT_EQ(quit.exitCode, 0) << quit.err.toStdString();
  // No notification area here: the program says so, and Qt adds no warnings of its own.
  QFile err(file("client.err"));
  ASSERT_TRUE(err.open(QIODevice::ReadOnly));
  const QByteArray said = err.readAll();
  EXPECT_FALSE(said.contains("QObject::")) << said.toStdString();
  ASSERT_FALSE(badge.isEmpty());
  ASSERT_EQ(withBadge.size(), picture.size());
  int inside = 0;
  for (int y = 0; y < badge.height(); ++y)
    for (int x = 0; x < badge.width(); ++x) {
      const QPoint p = badge.topLeft() + QPoint(x, y);
      // Outside a disc a little smaller than the window: the desktop's own pixels.
      const double dx = x - 52.5, dy = y - 52.5;
      if (dx * dx + dy * dy > 55.0 * 55.0) {
        ASSERT_EQ(withBadge.pixel(p), picture.pixel(p)) << x << "," << y;
      } else if (dx * dx + dy * dy < 40.0 * 40.0) {
        inside += withBadge.pixel(p) != picture.pixel(p);
      }
    }
  EXPECT_GT(inside, 3000);
}

TEST_F(Wayland, APortalFileAnotherUserPutInPlaceIsNeverRead) {
  // The wlr portal writes to one fixed name in /tmp; another user (here root, the
  // capture runs as the session's user) may have made it first, open to all.
  if (::geteuid() != 0) GTEST_SKIP() << "needs a second user, that is root";
  const QString fixed = QStringLiteral("/tmp/out.png");
  QFile::remove(fixed);
  QFile planted(fixed);
  ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
  planted.close();
  ASSERT_TRUE(planted.setPermissions(QFileDevice::Permissions(0x6666)));
  const ProcessResult r = lumora({"--capture", "--delay", "0", "--output", file("planted.bmp")});
  const bool stillThere = QFile::exists(fixed);
  QFile::remove(fixed);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("belongs to another user")) << r.err.toStdString();
  EXPECT_FALSE(QFile::exists(file("planted.bmp")));
  EXPECT_TRUE(stillThere);
}

TEST_F(Wayland, TheActiveWindowComesFromSwaysTreeWithItsTitleBar) {
  // The tray program's options window is a window of another process for a
  // second start, which takes the focused window through sway's IPC.
  const ProcessResult setup = lumora({"--capture", "--delay", "0", "--output", file("seed.bmp")});
  ASSERT_EQ(setup.exitCode, 0) << setup.err.toStdString();
  const QString registry = session->folder() + "/registry.reg";
  const pid_t tray = session->start(QStringLiteral("/usr/bin/env"), {"LUMORA_REGISTRY=" + registry, program});
  ASSERT_GT(tray, 0);
  QThread::msleep(3000);
  bool shown = false;
  for (int i = 0; i < 40 && !shown; ++i) {
    shown = lumora({"--show"}).exitCode == 0;
    if (!shown) QThread::msleep(250);
  }
  ASSERT_TRUE(shown);
  // The focused view as sway's tree has it: its rect, and the title bar above it.
  QRect frame;
  ASSERT_TRUE(WaitFor([&] {
    std::function<QRect(const QJsonObject&)> find = [&](const QJsonObject& node) {
      if (node.value("focused").toBool() && node.contains("pid")) {
        const QJsonObject r = node.value("rect").toObject(), d = node.value("deco_rect").toObject();
        const int title = node.value("border").toString() == QLatin1String("normal") ? d.value("height").toInt() : 0;
        return QRect(r.value("x").toInt(), r.value("y").toInt() - title, r.value("width").toInt(),
                     r.value("height").toInt() + title);
      }
      for (const char* list : {"nodes", "floating_nodes"})
        for (const QJsonValue& child : node.value(QLatin1String(list)).toArray()) {
          const QRect found = find(child.toObject());
          if (!found.isEmpty()) return found;
        }
      return QRect();
    };
    frame = find(QJsonDocument::fromJson(session->swaymsg({"-t", "get_tree"})).object());
    return !frame.isEmpty();
  })) << "no focused window";
  QThread::msleep(500);  // drawn
  const QImage screen = session->grimPicture();
  const ProcessResult r = lumora({"--capture", "--window", "--delay", "0", "--output", file("window.png")});
  lumora({"--quit"});
  session->stop(tray);
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QRect on = frame & QRect(0, 0, kWidth, kHeight);
  expectSame(DecodeWithImageMagick(file("window.png")).convertToFormat(QImage::Format_RGB32),
             crop(screen, on.x(), on.y(), on.width(), on.height()));
}
