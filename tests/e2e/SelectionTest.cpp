// The region selection as a user meets it on a private Xvfb with trayer: the
// hotkey freezes the screen, a drag and F1 choose the rectangle, and the next
// capture covers exactly that rectangle.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <functional>

#include "Fakes.h"
#include "StoreFile.h"
#include "XvfbServer.h"

using namespace lumora::test;

namespace {

constexpr int kWidth = 1024, kHeight = 768;

bool waitFor(const std::function<bool()>& done, int timeoutMs = 15000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QThread::msleep(50);
  }
  return true;
}

QString dword(int value) { return QStringLiteral("dword:%1").arg(uint32_t(value), 8, 16, QLatin1Char('0')); }

class Selection : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(server.running());
    ASSERT_TRUE(SetRootPicture(server.display(), picture));
    server.startClient(QStringLiteral("trayer"),
                       {"--edge", "top", "--align", "left", "--widthtype", "pixel", "--width", "200", "--height",
                        "32", "--SetDockType", "false", "--SetPartialStrut", "false", "--transparent", "false"});
    registry = dir.filePath(QStringLiteral("registry.reg"));
    folder = dir.path() + QStringLiteral("/shots/");
    QDir().mkpath(folder);
    // A store as a first run leaves it, with the shots going to the test's folder.
    const ProcessResult r =
        RunProcess(QStringLiteral(LUMORA_BINARY), {"--capture", "--delay", "0", "--output", dir.filePath("seed.bmp")},
                   server.display(), 60000, {QStringLiteral("LUMORA_REGISTRY=") + registry});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_TRUE(SetStoreValue(registry, "FileDir", QStringLiteral("\"%1\"").arg(folder)));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", server.display());
    env.insert("LUMORA_REGISTRY", registry);
    env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    env.remove("QT_QPA_PLATFORM");
    lumora.setProcessEnvironment(env);
    lumora.start(QStringLiteral(LUMORA_BINARY), {});
    ASSERT_TRUE(lumora.waitForStarted(10000));
    ASSERT_TRUE(waitFor([&] { return iconShown(); })) << "no tray icon";
  }

  void TearDown() override {
    if (lumora.state() != QProcess::NotRunning) {
      ::kill(pid_t(lumora.processId()), SIGKILL);
      lumora.waitForFinished(5000);
    }
  }

  QString xdo(const QStringList& args) {
    return QString::fromUtf8(RunProcess(QStringLiteral("xdotool"), args, server.display(), 20000).out).trimmed();
  }
  bool visible(const QString& title) {
    return !xdo({"search", "--onlyvisible", "--name", "^" + title + "$"}).isEmpty();
  }
  bool iconShown() {
    for (const QString& w : xdo({"search", "--onlyvisible", "--class", "lumora"}).split('\n', Qt::SkipEmptyParts)) {
      const QString geometry = xdo({"getwindowgeometry", w});
      if (geometry.contains("Geometry: 22x") || geometry.contains("Geometry: 2") || geometry.contains("x30"))
        return !geometry.contains("210x310");
    }
    return false;
  }
  // The overlay is open while its magnifier "Toolbox" is on screen.
  bool overlayOpen() { return visible(QStringLiteral("Toolbox")); }
  void menu(const QStringList& keys) {
    xdo({"mousemove", "10", "15", "click", "3"});
    QThread::msleep(400);
    xdo(QStringList{"key", "--delay", "80"} + keys);
    QThread::msleep(300);
  }
  void drag(QPoint from, QPoint to) {
    xdo({"mousemove", QString::number(from.x()), QString::number(from.y())});
    QThread::msleep(100);
    xdo({"mousedown", "1"});
    QThread::msleep(100);
    xdo({"mousemove", QString::number((from.x() + to.x()) / 2), QString::number((from.y() + to.y()) / 2)});
    QThread::msleep(100);
    xdo({"mousemove", QString::number(to.x()), QString::number(to.y())});
    QThread::msleep(100);
    xdo({"mouseup", "1"});
    QThread::msleep(200);
  }
  void quit() {
    menu({"Up", "Return"});
    ASSERT_TRUE(lumora.waitForFinished(15000));
  }

  XvfbServer server{kWidth, kHeight};
  QImage picture = TestPattern(kWidth, kHeight);
  QTemporaryDir dir;
  QString registry, folder;
  QProcess lumora;
};

TEST_F(Selection, HotkeyDragAndF1ThenTheCaptureCoversExactlyThatRectangle) {
  xdo({"key", "ctrl+alt+a"});
  ASSERT_TRUE(waitFor([&] { return overlayOpen(); })) << "no overlay";
  // Dragged from the bottom-right corner to the top-left one.
  drag({520, 430}, {310, 250});
  xdo({"key", "F1"});
  ASSERT_TRUE(waitFor([&] { return !overlayOpen(); })) << "F1 did not accept";

  xdo({"key", "ctrl+alt+s"});
  ASSERT_TRUE(waitFor([&] { return QFile::exists(folder + "Screen 00000.bmp"); }));
  QThread::msleep(300);
  const QImage shot = DecodeWithImageMagick(folder + "Screen 00000.bmp");
  ASSERT_EQ(shot.size(), QSize(210, 180));
  EXPECT_EQ(shot.convertToFormat(QImage::Format_RGB32), picture.copy(310, 250, 210, 180))
      << "the live screen, without frame or overlay";

  quit();
  EXPECT_EQ(StoreValue(registry, "Sel_Left"), dword(310));
  EXPECT_EQ(StoreValue(registry, "Sel_Top"), dword(250));
  EXPECT_EQ(StoreValue(registry, "Sel_Right"), dword(520));
  EXPECT_EQ(StoreValue(registry, "Sel_Bottom"), dword(430));
  EXPECT_EQ(StoreValue(registry, "Aktiv"), dword(1));
}

TEST_F(Selection, TrayItemOpensItASecondRequestIsIgnoredAndDiscardKeepsTheRectangle) {
  menu({"Down", "Down", "Return"});  // "Bereich auswählen"
  ASSERT_TRUE(waitFor([&] { return overlayOpen(); })) << "no overlay from the tray item";
  xdo({"key", "ctrl+alt+a"});  // ignored while the overlay is open
  drag({400, 300}, {600, 500});
  xdo({"key", "F12"});
  ASSERT_TRUE(waitFor([&] { return !overlayOpen(); }));
  QThread::msleep(800);
  EXPECT_FALSE(overlayOpen()) << "the second request was not queued";

  quit();
  EXPECT_EQ(StoreValue(registry, "Sel_Right"), dword(kWidth)) << "the rectangle from before";
  EXPECT_EQ(StoreValue(registry, "Sel_Bottom"), dword(kHeight));
  EXPECT_EQ(StoreValue(registry, "Aktiv"), dword(1)) << "a discard turns the selection on too";
}

}  // namespace
