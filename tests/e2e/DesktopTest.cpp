// Lumora on the desktops people run: a screen that changes size, Qt scaling its
// windows, several monitors with the primary one not at the origin, a tray host
// that comes late or restarts, a running program reached from the command line,
// and a hotkey another program holds.
#include <gtest/gtest.h>

#include <QProcess>
#include <QThread>

#include "Fakes.h"
#include "StoreFile.h"
#include "TrayDriver.h"

using namespace lumora::test;

namespace {

const QString kLumora = QStringLiteral(LUMORA_BINARY);

ProcessResult Lumora(TrayDriver& ui, const QStringList& args) {
  return RunProcess(kLumora, args, ui.server.display(), 30000, {"LUMORA_REGISTRY=" + ui.registry});
}

bool Xrandr(TrayDriver& ui, const QStringList& args) {
  return RunProcess("xrandr", args, ui.server.display(), 20000).exitCode == 0;
}

// The visible top-level window of the program with this size, as "x,y" of its
// position; empty when there is none.
QString WindowAt(TrayDriver& ui, QSize size) {
  for (const QString& w : ui.xdo({"search", "--onlyvisible", "--class", "lumora"}).split('\n', Qt::SkipEmptyParts)) {
    const QString g = ui.xdo({"getwindowgeometry", w});
    if (g.contains(QStringLiteral("Geometry: %1x%2").arg(size.width()).arg(size.height())))
      return g.section("Position: ", 1).section(' ', 0, 0);
  }
  return QString();
}

// Draws `from`-`to` on the open overlay, accepts it with `key`, then takes the
// area by hotkey into `file`; false when a step did not come through.
bool ShootSelection(TrayDriver& ui, QPoint from, QPoint to, const char* key, const char* file) {
  ui.drag(from, to);
  ui.xdo({"key", key});
  if (!WaitFor([&] { return !ui.visible("Toolbox"); })) return false;
  ui.xdo({"key", "ctrl+alt+s"});
  if (!ui.shot(file)) return false;
  QThread::msleep(300);
  return true;
}

// What a capture of `rect` (in root-window pixels) shows of `root` when only the
// `monitors` are screens: black elsewhere.
QImage Expected(const QImage& root, QRect rect, const std::vector<QRect>& monitors) {
  QImage out(rect.size(), QImage::Format_RGB32);
  for (int y = 0; y < rect.height(); ++y)
    for (int x = 0; x < rect.width(); ++x) {
      const QPoint p = rect.topLeft() + QPoint(x, y);
      bool shown = false;
      for (const QRect& m : monitors) shown = shown || m.contains(p);
      out.setPixel(x, y, shown && root.rect().contains(p) ? root.pixel(p) : qRgb(0, 0, 0));
    }
  return out;
}

QImage Shot(const QString& path) { return DecodeWithImageMagick(path).convertToFormat(QImage::Format_RGB32); }

// Pixel for pixel, whatever else the decoder attached to the picture.
::testing::AssertionResult SamePixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size())
    return ::testing::AssertionFailure() << a.width() << "x" << a.height() << " against " << b.width() << "x"
                                         << b.height();
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) return ::testing::AssertionFailure() << "differs at " << x << "," << y;
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(Desktop, TheWholeScreenFollowsTheScreenAsItIsNow) {
  TrayDriver ui(1280, 1024, {.server = XvfbServer::Kind::Xvnc});
  ASSERT_TRUE(ui.server.running());
  ASSERT_TRUE(ui.seedStore());
  QProcess& lumora = ui.start();
  ASSERT_TRUE(ui.waitReady());
  const struct {
    const char* mode;
    QSize size;
  } steps[] = {{"1024x768", {1024, 768}}, {"1600x1200", {1600, 1200}}};
  int n = 0;
  for (const auto& step : steps) {
    ASSERT_TRUE(Xrandr(ui, {"-s", step.mode}));
    QThread::msleep(500);
    ui.xdo({"key", "ctrl+alt+s"});
    const QString name = QStringLiteral("Screen %1.bmp").arg(n++, 5, 10, QLatin1Char('0'));
    ASSERT_TRUE(ui.shot(name)) << step.mode;
    QThread::msleep(300);
    EXPECT_EQ(Shot(ui.folder + name).size(), step.size) << "after xrandr -s " << step.mode;
  }
  ASSERT_TRUE(ui.quit(lumora));
}

TEST(Desktop, ScaledWindowsStillCountDevicePixels) {
  TrayDriver ui(1024, 768);
  const QImage picture = TestPattern(1024, 768);
  ASSERT_TRUE(SetRootPicture(ui.server.display(), picture));
  ASSERT_TRUE(ui.seedStore());
  QProcess& lumora = ui.start({"QT_SCALE_FACTOR=2"});
  ASSERT_TRUE(ui.waitReady());

  ui.xdo({"key", "ctrl+alt+s"});
  ASSERT_TRUE(ui.shot("Screen 00000.bmp"));
  QThread::msleep(300);
  ASSERT_TRUE(WaitFor([&] { return !ui.visible("Lumora Info"); }));
  const QImage whole = Shot(ui.folder + "Screen 00000.bmp");
  ASSERT_EQ(whole.size(), QSize(1024, 768)) << "the whole screen, not a quarter of it";
  // Below trayer's strip at the top the picture is the screen's, pixel for pixel.
  EXPECT_TRUE(SamePixels(whole.copy(0, 40, 1024, 728), picture.copy(0, 40, 1024, 728)));

  // The overlay shows the frozen screen one pixel per pixel and the dragged
  // rectangle is exactly the device pixels the pointer went over.
  ui.xdo({"key", "ctrl+alt+a"});
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Toolbox"); }));
  EXPECT_EQ(WindowAt(ui, {1024, 768}), QStringLiteral("0,0"));
  ASSERT_TRUE(ShootSelection(ui, {311, 251}, {521, 431}, "Return", "Screen 00001.bmp"));
  EXPECT_TRUE(SamePixels(Shot(ui.folder + "Screen 00001.bmp"), picture.copy(311, 251, 210, 180)));
  ASSERT_TRUE(ui.quit(lumora));
  EXPECT_EQ(StoreValue(ui.registry, "Sel_Left"), Dword(311));
  EXPECT_EQ(StoreValue(ui.registry, "Sel_Bottom"), Dword(431));
}

TEST(Desktop, SeveralMonitorsAgreeOnWhatTheScreenIs) {
  TrayDriver ui(1280, 1024, {.server = XvfbServer::Kind::Xvnc});
  ASSERT_TRUE(ui.server.running());
  // The screen grows past the first monitor (0, 0)-(1280, 1024), and a second
  // monitor (800, 0)-(1600, 600) becomes the primary one. Below it, right of the
  // first, no monitor shows the screen.
  ASSERT_TRUE(Xrandr(ui, {"--fb", "1600x1200"}));
  ASSERT_TRUE(Xrandr(ui, {"--setmonitor", "*M2", "800/200x600/150+800+0", "none"}));
  const QImage root = TestPattern(1600, 1200);
  ASSERT_TRUE(SetRootPicture(ui.server.display(), root));
  const std::vector<QRect> monitors{{800, 0, 800, 600}, {0, 0, 1280, 1024}};
  ASSERT_TRUE(ui.seedStore());

  // The command line: the whole screen is the primary monitor; a region reaches
  // onto the other one, and is black where no monitor is.
  ProcessResult r = Lumora(ui, {"--capture", "--delay", "0", "--output", ui.folder + "whole.bmp"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(SamePixels(Shot(ui.folder + "whole.bmp"), root.copy(800, 0, 800, 600)));
  r = Lumora(ui, {"--capture", "--delay", "0", "--region", "-100,550,600,650", "--output", ui.folder + "part.bmp"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(SamePixels(Shot(ui.folder + "part.bmp"), Expected(root, QRect(700, 550, 700, 100), monitors)));

  // The tray program sees the same screen, and its overlay covers the primary monitor.
  QProcess& lumora = ui.start();
  ASSERT_TRUE(ui.waitReady());
  ui.xdo({"key", "ctrl+alt+s"});
  ASSERT_TRUE(ui.shot("Screen 00000.bmp"));
  QThread::msleep(300);
  ASSERT_TRUE(WaitFor([&] { return !ui.visible("Lumora Info"); }));
  EXPECT_TRUE(SamePixels(Shot(ui.folder + "Screen 00000.bmp"), root.copy(800, 0, 800, 600)));

  ui.xdo({"key", "ctrl+alt+a"});
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Toolbox"); }));
  EXPECT_EQ(WindowAt(ui, {800, 600}), QStringLiteral("800,0"));
  // Clear of the Toolbox at the overlay's top-left, and where the server lets the
  // pointer go (over the first monitor's crtc).
  ASSERT_TRUE(ShootSelection(ui, {1000, 320}, {1200, 470}, "F1", "Screen 00001.bmp"));
  EXPECT_TRUE(SamePixels(Shot(ui.folder + "Screen 00001.bmp"), root.copy(1000, 320, 200, 150)));
  ASSERT_TRUE(ui.quit(lumora));
  EXPECT_EQ(StoreValue(ui.registry, "Sel_Left"), Dword(200)) << "relative to the primary monitor";
}

TEST(Desktop, TheWholeScreenIsThePrimaryThePointersOrEveryMonitorAsChosen) {
  // The tray host's strip would lie on the left monitor: it comes with the tray program.
  TrayDriver ui(3840, 1080, {.trayHost = false, .server = XvfbServer::Kind::Xvnc});
  ASSERT_TRUE(ui.server.running());
  ASSERT_TRUE(ui.seedStore());
  const QImage root = TestPattern(3840, 1800);
  struct Case {
    QStringList args;
    QPoint pointer;
    QRect want;  // in root-window pixels
  };
  auto check = [&](const std::vector<QRect>& monitors, const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.args.join(' ').toStdString());
      ui.xdo({"mousemove", QString::number(c.pointer.x()), QString::number(c.pointer.y())});
      const QString path = ui.folder + "choice.bmp";
      const ProcessResult r = Lumora(ui, QStringList{"--capture", "--delay", "0", "--output", path} + c.args);
      ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
      EXPECT_TRUE(SamePixels(Shot(path), Expected(root, c.want, monitors)));
    }
  };

  // Two monitors of different sizes, the primary right of the other. The first
  // takes the place of the server's own output monitor.
  ASSERT_TRUE(Xrandr(ui, {"--setmonitor", "L", "1920/508x1080/286+0+0", "VNC-0"}));
  ASSERT_TRUE(Xrandr(ui, {"--setmonitor", "*R", "1280/338x1024/271+1920+0", "none"}));
  ASSERT_TRUE(SetRootPicture(ui.server.display(), root));
  check({{1920, 0, 1280, 1024}, {0, 0, 1920, 1080}},
        {{{}, {500, 500}, {1920, 0, 1280, 1024}},
         {{"--screen", "primary"}, {500, 500}, {1920, 0, 1280, 1024}},
         {{"--screen", "pointer"}, {500, 500}, {0, 0, 1920, 1080}},
         {{"--screen", "pointer"}, {2000, 100}, {1920, 0, 1280, 1024}},
         {{"--screen", "pointer"}, {3500, 100}, {1920, 0, 1280, 1024}},  // on no monitor
         {{"--screen", "all"}, {500, 500}, {0, 0, 3200, 1080}}});

  // Three: one above the primary, one left of it, each of its own size.
  ASSERT_TRUE(Xrandr(ui, {"--delmonitor", "R"}));
  ASSERT_TRUE(Xrandr(ui, {"--delmonitor", "L"}));
  ASSERT_TRUE(Xrandr(ui, {"--fb", "3840x1800"}));
  ASSERT_TRUE(Xrandr(ui, {"--setmonitor", "L", "1280/338x1024/271+0+600", "VNC-0"}));
  ASSERT_TRUE(Xrandr(ui, {"--setmonitor", "T", "1280/338x720/190+1280+0", "none"}));
  ASSERT_TRUE(Xrandr(ui, {"--setmonitor", "*P", "1920/508x1080/286+1280+720", "none"}));
  ASSERT_TRUE(SetRootPicture(ui.server.display(), root));
  const std::vector<QRect> three{{1280, 720, 1920, 1080}, {0, 600, 1280, 1024}, {1280, 0, 1280, 720}};
  check(three, {{{"--screen", "primary"}, {1500, 300}, {1280, 720, 1920, 1080}},
                {{"--screen", "pointer"}, {1500, 300}, {1280, 0, 1280, 720}},
                {{"--screen", "pointer"}, {100, 700}, {0, 600, 1280, 1024}},
                {{"--screen", "all"}, {100, 700}, {0, 0, 3200, 1800}}});

  // The stored choice governs the tray program's captures.
  ASSERT_TRUE(SetStoreValue(ui.registry, "Bildschirm", "dword:00000002"));
  ui.startTrayHost();
  QProcess& lumora = ui.start();
  ASSERT_TRUE(ui.waitReady());
  ui.xdo({"key", "ctrl+alt+s"});
  ASSERT_TRUE(ui.shot("Screen 00000.bmp"));
  QThread::msleep(300);
  ASSERT_TRUE(WaitFor([&] { return !ui.visible("Lumora Info"); }));
  // trayer puts its strip at the top of the left monitor; that strip aside, the
  // picture is the root window's.
  auto withoutStrip = [](QImage picture) {
    for (int y = 600; y < 640; ++y)
      for (int x = 0; x < 200; ++x) picture.setPixel(x, y, 0);
    return picture;
  };
  EXPECT_TRUE(SamePixels(withoutStrip(Shot(ui.folder + "Screen 00000.bmp")),
                         withoutStrip(Expected(root, {0, 0, 3200, 1800}, three))));

  // The overlay covers every monitor, the Toolbox comes up on the pointer's, and
  // a rectangle drawn on the left monitor counts from the primary's corner.
  ui.xdo({"key", "ctrl+alt+a"});
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Toolbox"); }));
  EXPECT_EQ(WindowAt(ui, {3200, 1800}), QStringLiteral("0,0"));
  const QString toolbox = ui.xdo({"search", "--onlyvisible", "--name", "^Toolbox$"}).section('\n', 0, 0);
  EXPECT_TRUE(ui.xdo({"getwindowgeometry", toolbox}).contains("Position: 15,615")) << "on the left monitor";
  ASSERT_TRUE(ShootSelection(ui, {300, 900}, {500, 1000}, "F1", "Screen 00001.bmp"));
  EXPECT_TRUE(SamePixels(Shot(ui.folder + "Screen 00001.bmp"), root.copy(300, 900, 200, 100)));

  // The tray icon is not where the driver's menu clicks go; the command line ends it.
  EXPECT_EQ(Lumora(ui, {"--quit"}).exitCode, 0);
  ASSERT_TRUE(lumora.waitForFinished(15000));
  EXPECT_EQ(StoreValue(ui.registry, "Bildschirm"), Dword(2));
  EXPECT_EQ(StoreValue(ui.registry, "Sel_Left"), Dword(300 - 1280));
  EXPECT_EQ(StoreValue(ui.registry, "Sel_Top"), Dword(900 - 720));
}

TEST(Desktop, TheIconComesWithALateTrayHostAndBackAfterARestart) {
  TrayDriver ui(800, 600, {.trayHost = false});
  ASSERT_TRUE(ui.seedStore());
  QProcess& lumora = ui.start();
  QThread::msleep(3000);
  EXPECT_FALSE(ui.iconShown());
  ui.startTrayHost();  // as at a login where the panel starts after Lumora
  EXPECT_TRUE(ui.waitReady()) << "the icon joins the late tray host";
  ui.stopTrayHost();
  QThread::msleep(500);
  ui.startTrayHost();
  EXPECT_TRUE(ui.waitReady()) << "the icon returns to a restarted tray host";
  ASSERT_TRUE(ui.quit(lumora));
}

TEST(Desktop, TheRunningProgramIsReachedFromTheCommandLine) {
  TrayDriver ui(800, 600);
  ASSERT_TRUE(ui.seedStore());
  ProcessResult r = Lumora(ui, {"--show"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("not running")) << r.err.toStdString();

  QProcess& lumora = ui.start();
  ASSERT_TRUE(ui.waitReady());
  // Started again, from a launcher say: the running one opens its window.
  r = Lumora(ui, {});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(WaitFor([&] { return ui.visible("Lumora 2002 - Version 2.7.0"); }));

  r = Lumora(ui, {"--shot"});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(ui.shot("Screen 00000.bmp"));
  EXPECT_TRUE(WaitFor([&] { return ui.visible("Lumora Info"); })) << "as the hotkey: the popup follows";

  r = Lumora(ui, {"--select"});
  EXPECT_EQ(r.exitCode, 0);
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Toolbox"); }));
  ui.xdo({"key", "F12"});
  ASSERT_TRUE(WaitFor([&] { return !ui.visible("Toolbox"); }));

  SetStoreValue(ui.registry, "Text", QStringLiteral("\"changed by hand\""));
  r = Lumora(ui, {"--quit"});
  EXPECT_EQ(r.exitCode, 0);
  ASSERT_TRUE(lumora.waitForFinished(15000));
  EXPECT_EQ(StoreValue(ui.registry, "Text"), QStringLiteral("\"Ausgabetext\"")) << "the settings were saved";
}

// The application menu's actions: with no Lumora running, one is started for them.
TEST(Desktop, TheMenuActionsStartTheProgramWhenNoneRuns) {
  TrayDriver ui(800, 600);
  ASSERT_TRUE(ui.seedStore());
  ProcessResult r = Lumora(ui, {"--start", "--shot"});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(ui.shot("Screen 00000.bmp"));

  r = Lumora(ui, {"--start", "--select"});  // now reaches the running one
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  ASSERT_TRUE(WaitFor([&] { return ui.visible("Toolbox"); }));
  ui.xdo({"key", "F12"});
  ASSERT_TRUE(WaitFor([&] { return !ui.visible("Toolbox"); }));
  // It ends with the command; should it not, it ends with its display.
  EXPECT_EQ(Lumora(ui, {"--quit"}).exitCode, 0);
}

TEST(Desktop, AHotkeyAnotherProgramHoldsIsNamed) {
  TrayDriver ui(800, 600);
  ASSERT_TRUE(ui.seedStore());
  QProcess holder;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", ui.server.display());
  holder.setProcessEnvironment(env);
  holder.start(QStringLiteral(LUMORA_GRABKEY), {"s"});
  ASSERT_TRUE(holder.waitForReadyRead(10000));

  QProcess lumora;
  env.insert("LUMORA_REGISTRY", ui.registry);
  env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
  env.remove("QT_QPA_PLATFORM");
  lumora.setProcessEnvironment(env);
  lumora.start(kLumora, {});
  QByteArray err;
  EXPECT_TRUE(WaitFor([&] {
    lumora.waitForReadyRead(100);
    err += lumora.readAllStandardError();
    return err.contains("Ctrl+Alt+S is held by another program");
  })) << err.toStdString();
  EXPECT_FALSE(err.contains("Ctrl+Alt+A is held")) << "the other one is Lumora's";
  ASSERT_TRUE(ui.waitReady());
  EXPECT_EQ(Lumora(ui, {"--quit"}).exitCode, 0);
  EXPECT_TRUE(lumora.waitForFinished(15000));
  holder.kill();
  holder.waitForFinished(5000);
}
