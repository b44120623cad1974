// The real lumora binary, one capture at a time, on a private X server.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cmath>
#include <cstdlib>

#include "Fakes.h"
#include "StoreFile.h"
#include "XvfbServer.h"

using namespace lumora::test;

namespace {

class OneShot : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new XvfbServer(640, 480);
    picture = TestPattern(640, 480);
    ASSERT_TRUE(server->running());
    ASSERT_TRUE(SetRootPicture(server->display(), picture));
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

  // Runs lumora with a store of its own in the temporary folder.
  ProcessResult lumora(const QStringList& args, const QString& display, const QString& registry = QString()) {
    return RunProcess(QStringLiteral(LUMORA_BINARY), args, display, 60000,
                      {QStringLiteral("LUMORA_REGISTRY=") +
                       (registry.isEmpty() ? dir.filePath(QStringLiteral("registry.reg")) : registry)});
  }

  static void expectShows(const QImage& decoded, int left, int top, int width, int height) {
    ASSERT_EQ(decoded.size(), QSize(width, height));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const QPoint p(left + x, top + y);
        const QRgb want = picture.rect().contains(p) ? picture.pixel(p) : qRgb(0, 0, 0);
        ASSERT_EQ(decoded.pixel(x, y), want) << x << "," << y;
      }
  }

  static XvfbServer* server;
  static QImage picture;
  QTemporaryDir dir;
};

XvfbServer* OneShot::server = nullptr;
QImage OneShot::picture;

// The pointer as the server itself hands it out: its premultiplied picture and
// where that picture's top-left corner lies.
struct ServerPointer {
  QImage image;
  QPoint topLeft;
};

ServerPointer ReadServerPointer(const QString& display) {
  ServerPointer p;
  xcb_connection_t* c = xcb_connect(display.toLatin1().constData(), nullptr);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    return p;
  }
  std::free(xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 4, 0), nullptr));
  if (xcb_xfixes_get_cursor_image_reply_t* r =
          xcb_xfixes_get_cursor_image_reply(c, xcb_xfixes_get_cursor_image(c), nullptr)) {
    p.image = QImage(r->width, r->height, QImage::Format_ARGB32_Premultiplied);
    const uint32_t* words = xcb_xfixes_get_cursor_image_cursor_image(r);
    for (int y = 0; y < r->height; ++y)
      for (int x = 0; x < r->width; ++x) p.image.setPixel(x, y, words[y * r->width + x]);
    p.topLeft = QPoint(r->x - r->xhot, r->y - r->yhot);
    std::free(r);
  }
  xcb_disconnect(c);
  return p;
}

}  // namespace

TEST_F(OneShot, DrawsThePointerAsTheServerShowsItOnlyWhenAsked) {
  ASSERT_EQ(RunProcess("xdotool", {"mousemove", "203", "151"}, server->display()).exitCode, 0);
  const ServerPointer pointer = ReadServerPointer(server->display());
  ASSERT_FALSE(pointer.image.isNull());
  // Premultiplied "over", worked out here in floating point.
  QImage want = picture.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < pointer.image.height(); ++y)
    for (int x = 0; x < pointer.image.width(); ++x) {
      const QPoint at = pointer.topLeft + QPoint(x, y);
      if (!want.rect().contains(at)) continue;
      const QRgb s = pointer.image.pixel(x, y), d = want.pixel(at);
      const double keep = (255 - qAlpha(s)) / 255.0;
      auto over = [&](int sc, int dc) { return int(std::lround(sc + dc * keep)); };
      want.setPixel(at, qRgb(over(qRed(s), qRed(d)), over(qGreen(s), qGreen(d)), over(qBlue(s), qBlue(d))));
    }
  ASSERT_NE(want, picture.convertToFormat(QImage::Format_RGB32)) << "the pointer shows";

  for (const char* name : {"pointer.png", "pointer.bmp", "pointer.tga"}) {
    const QString path = dir.filePath(QLatin1String(name));
    const ProcessResult r =
        lumora({"--capture", "--pointer", "--delay", "0", "--region", "150,100,400,300", "--output", path},
               server->display());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage decoded = DecodeWithImageMagick(path);
    ASSERT_EQ(decoded.size(), QSize(250, 200)) << name;
    ASSERT_EQ(decoded.convertToFormat(QImage::Format_RGB32), want.copy(150, 100, 250, 200)) << name;
  }
  const QString plain = dir.filePath(QStringLiteral("plain.png"));
  ASSERT_EQ(lumora({"--capture", "--delay", "0", "--output", plain}, server->display()).exitCode, 0);
  expectShows(DecodeWithImageMagick(plain), 0, 0, 640, 480);
}

TEST_F(OneShot, WritesAPixelExactBmpOfTheScreenAndOfARegionPastItsEdge) {
  const QString whole = dir.filePath(QStringLiteral("whole.bmp"));
  ProcessResult r = lumora({"--capture", "--delay", "0", "--output", whole}, server->display());
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(QString::fromUtf8(r.out).trimmed(), whole);
  expectShows(DecodeWithImageMagick(whole), 0, 0, 640, 480);

  const QString part = dir.filePath(QStringLiteral("part.bmp"));
  r = lumora({"--capture", "--delay", "0", "--region", "600,440,700,500", "--output", part}, server->display());
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  expectShows(DecodeWithImageMagick(part), 600, 440, 100, 60);
}

TEST_F(OneShot, WritesAPixelExactPngOfTheScreenAndOfAnOddWidthRegion) {
  const struct {
    const char* name;
    QStringList region;
    int left, top, width, height;
  } cases[] = {{"whole.png", {}, 0, 0, 640, 480}, {"odd.png", {"--region", "597,441,700,500"}, 597, 441, 103, 59},
               {"upper.PNG", {"--region", "0,0,64,48"}, 0, 0, 64, 48}};
  for (const auto& c : cases) {
    const QString path = dir.filePath(QLatin1String(c.name));
    const ProcessResult r =
        lumora(QStringList{"--capture", "--delay", "0", "--output", path} + c.region, server->display());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(r.out).trimmed(), path);
    expectShows(DecodeWithImageMagick(path), c.left, c.top, c.width, c.height);
  }
}

TEST_F(OneShot, ReportsFailuresWithTheirExitCodes) {
  // A missing folder: the saver's error on standard error, nothing written.
  const QString missing = dir.filePath(QStringLiteral("gone/shot.bmp"));
  ProcessResult r = lumora({"--capture", "--delay", "0", "--output", missing}, server->display());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("Fehler: Der angegebene Dateiname oder der Pfad ist nicht gültig")) << r.err.toStdString();
  EXPECT_TRUE(r.err.trimmed().endsWith(missing.toUtf8()));
  EXPECT_TRUE(r.out.isEmpty());

  // Bad usage is refused before anything is grabbed: an extension no saver
  // knows, a malformed or an empty rectangle.
  for (const QStringList& args : {QStringList{"--output", dir.filePath(QStringLiteral("shot.gif"))},
                                  QStringList{"--region", "1,2"}, QStringList{"--region", "0,0,0,0"},
                                  QStringList{"--region", "10,10,10,500"}}) {
    r = lumora(QStringList{"--capture", "--delay", "0"} + args, server->display());
    EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err.count('\n'), 2) << r.err.toStdString();
    EXPECT_TRUE(r.err.endsWith("\nTry 'lumora --help' for more information.\n")) << r.err.toStdString();
  }
  EXPECT_TRUE(QDir(dir.path()).entryList({"shot.*"}).isEmpty());

  // No display at all, or one that names no server: one line, no crash, for the
  // capture and for the tray program alike.
  for (const QString& display : {QString(), QStringLiteral(":65000")})
    for (const QStringList& args : {QStringList{"--capture"}, QStringList{}}) {
      r = lumora(args, display);
      EXPECT_EQ(r.exitCode, 1) << display.toStdString() << " " << args.join(' ').toStdString();
      EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
      EXPECT_TRUE(r.err.startsWith("lumora: ")) << r.err.toStdString();
    }

  r = lumora({"--version"}, QString());
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.out.startsWith("lumora 2.7.0"));
}

TEST_F(OneShot, NumberedCapturesGoToTheStoredFolderUnderTheNextFreeNumber) {
  // A first run stores the defaults; then the folder is pointed at the test's own.
  const QString registry = dir.filePath(QStringLiteral("numbered.reg"));
  ProcessResult r = lumora({"--capture", "--delay", "0", "--output", dir.filePath(QStringLiteral("first.bmp"))},
                           server->display(), registry);
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  ASSERT_TRUE(SetStoreValue(registry, "FileDir", QStringLiteral("\"%1/\"").arg(dir.path())));

  QFile(dir.filePath(QStringLiteral("Screen 00000.bmp"))).open(QIODevice::WriteOnly);  // already taken
  r = lumora({"--capture", "--delay", "0"}, server->display(), registry);
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(QString::fromUtf8(r.out).trimmed(), dir.filePath(QStringLiteral("Screen 00001.bmp")));
  expectShows(DecodeWithImageMagick(dir.filePath(QStringLiteral("Screen 00001.bmp"))), 0, 0, 640, 480);
}
