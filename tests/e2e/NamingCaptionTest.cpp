// The real lumora binary with a stored caption: the band in the written file, the
// numbered names, and the warnings before a capture.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "Fakes.h"
#include "StoreFile.h"
#include "XvfbServer.h"

using namespace lumora::test;

namespace {

constexpr int kWidth = 320, kHeight = 240;

class NamingCaption : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new XvfbServer(kWidth, kHeight);
    picture = TestPattern(kWidth, kHeight);
    ASSERT_TRUE(server->running());
    ASSERT_TRUE(SetRootPicture(server->display(), picture));
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    folder = dir.path() + QStringLiteral("/shots/");
    ASSERT_TRUE(QDir().mkpath(folder));
    registry = dir.filePath(QStringLiteral("registry.reg"));
    // A first run stores the defaults; the test then changes the values it needs.
    const ProcessResult r = lumora({"--capture", "--delay", "0", "--output", dir.filePath("seed.bmp")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    setValue("FileDir", QStringLiteral("\"%1\"").arg(folder));
    setValue("Text", QStringLiteral("\"Lumora Bericht\""));
    setValue("Position", QStringLiteral("\"unten\""));
    setValue("BackColor", QStringLiteral("dword:00000003"));  // red
    setValue("TextColor", QStringLiteral("dword:00000001"));  // white
    setValue("FontSize", QStringLiteral("dword:0000000e"));   // 14
  }

  ProcessResult lumora(const QStringList& args) {
    return RunProcess(QStringLiteral(LUMORA_BINARY), args, server->display(), 60000,
                      {QStringLiteral("LUMORA_REGISTRY=") + registry});
  }

  void setValue(const char* name, const QString& data) {
    ASSERT_TRUE(SetStoreValue(registry, QLatin1String(name), data)) << name;
  }

  static XvfbServer* server;
  static QImage picture;
  QTemporaryDir dir;
  QString folder, registry;
};

XvfbServer* NamingCaption::server = nullptr;
QImage NamingCaption::picture;

TEST_F(NamingCaption, NumberedCapturesCarryTheBandAtTheBottom) {
  for (const char* name : {"Screen 00000.bmp", "Screen 00001.bmp"}) {
    SCOPED_TRACE(name);
    const ProcessResult r = lumora({"--capture", "--delay", "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString written = folder + QLatin1String(name);
    EXPECT_EQ(QString::fromUtf8(r.out).trimmed(), written);
    const QImage shot = DecodeWithImageMagick(written);
    ASSERT_EQ(shot.size(), QSize(kWidth, kHeight));
    const int bandTop = kHeight - 20;
    int textPixels = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const QRgb p = shot.pixel(x, y);
        if (y < bandTop) {
          ASSERT_EQ(p, picture.pixel(x, y)) << x << "," << y;
        } else if (y < bandTop + 3 || x < 2) {
          ASSERT_EQ(p, qRgb(255, 0, 0)) << x << "," << y;
        } else {
          ASSERT_TRUE(p == qRgb(255, 0, 0) || p == qRgb(255, 255, 255)) << x << "," << y;
          textPixels += p == qRgb(255, 255, 255);
        }
      }
    EXPECT_GT(textPixels, 50);
  }
}

TEST_F(NamingCaption, WarningsAskInOrderAndADeclinedOneWritesNothing) {
  setValue("TextColor", QStringLiteral("dword:00000003"));  // red on red
  setValue("FontSize", QStringLiteral("dword:0000000a"));   // 10

  ProcessResult r = lumora({"--capture", "--delay", "0"});
  EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("gleiche Farbe für Hintergrund uns Text")) << r.err.toStdString();
  EXPECT_FALSE(r.err.contains("Schriftgröße")) << "no second box after a No";
  EXPECT_FALSE(QFile::exists(folder + QStringLiteral("Screen 00000.bmp")));

  r = lumora({"--capture", "--delay", "0", "--yes"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const qsizetype colours = r.err.indexOf("gleiche Farbe");
  const qsizetype font = r.err.indexOf("Schriftgröße ist sehr klein");
  EXPECT_GE(colours, 0);
  EXPECT_GT(font, colours) << r.err.toStdString();
  EXPECT_TRUE(QFile::exists(folder + QStringLiteral("Screen 00000.bmp")));
}

}  // namespace
