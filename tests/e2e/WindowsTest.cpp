// Windows on a real X desktop: xterm windows under Openbox (one maximised below
// the others, one over another, one partly off the screen), then the same
// windows once the window manager has gone. A click in the frozen overlay takes
// a window's frame as xwininfo reports it, its outline leaves no mark, and the
// active window is captured from the hotkey, the tray menu and the command line.
#include <gtest/gtest.h>

#include <QColorSpace>
#include <QRect>
#include <QThread>

#include "Fakes.h"
#include "StoreFile.h"
#include "TrayDriver.h"

using namespace lumora::test;

namespace {

constexpr int kWidth = 1024, kHeight = 768;
const QRect kScreenRect(0, 0, kWidth, kHeight);

class Windows : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(ui.server.running());
    ASSERT_TRUE(SetRootPicture(ui.server.display(), TestPattern(kWidth, kHeight)));
    ASSERT_TRUE(ui.seedStore());
    openbox = ui.server.startClient(QStringLiteral("openbox"), {"--sm-disable"});
    ASSERT_TRUE(WaitFor([&] { return x({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id"); }));
    // A panel's tray, as desktops have it: a dock, which never takes the focus.
    ui.server.startClient(QStringLiteral("trayer"),
                          {"--edge", "top", "--align", "left", "--widthtype", "pixel", "--width", "200", "--height",
                           "32", "--SetDockType", "true", "--SetPartialStrut", "false", "--transparent", "false"});
    // From the bottom up: each new window goes on top.
    xterm("winD", {"-maximized"});
    xterm("winA", {"-geometry", "40x10+100+100"});
    xterm("winB", {"-geometry", "40x10+250+200"});
    xterm("winC", {"-geometry", "40x10+900+680"});
    lumora = &ui.start();
    ASSERT_TRUE(ui.waitReady()) << "no tray icon";
  }

  QString x(const QStringList& args) {
    return QString::fromUtf8(RunProcess(args.first(), args.mid(1), ui.server.display(), 20000).out);
  }
  // Found by its instance name: a shell in it would retitle it. No shell runs
  // in it, so nothing changes its pixels.
  void xterm(const QString& name, const QStringList& args) {
    ui.server.startClient(QStringLiteral("xterm"),
                          QStringList{"-name", name, "-T", name, "-bg", "navy", "-fg", "yellow"} + args +
                              QStringList{"-e", "sleep", "3600"});
    ASSERT_TRUE(WaitFor([&] { return !windowId(name).isEmpty(); }));
  }
  QString windowId(const QString& name) {
    const QString found = x({"xdotool", "search", "--onlyvisible", "--classname", "^" + name + "$"});
    return found.isEmpty() ? x({"xdotool", "search", "--onlyvisible", "--name", "^" + name + "$"}).split('\n').first().trimmed()
                           : found.split('\n').first().trimmed();
  }
  static int field(const QString& info, const char* name) {
    for (const QString& line : info.split('\n'))
      if (line.trimmed().startsWith(QLatin1String(name))) return line.section(':', 1).trimmed().toInt();
    return -1;
  }
  // The top-level below the root that holds the window: the window manager's
  // frame, or the window itself where none runs.
  QString topLevel(const QString& title) {
    QString id = windowId(title);
    for (int depth = 0; depth < 8; ++depth) {
      const QString tree = x({"xwininfo", "-children", "-id", id});
      const QString parent = tree.section("Parent window id: ", 1).section(' ', 0, 0);
      const QString root = tree.section("Root window id: ", 1).section(' ', 0, 0);
      if (parent.isEmpty() || parent == root) break;
      id = parent;
    }
    return id;
  }
  // The outer frame as xwininfo reports it, the X border included.
  QRect frame(const QString& title) {
    const QString info = x({"xwininfo", "-id", topLevel(title)});
    const int border = field(info, "Border width");
    return QRect(field(info, "Absolute upper-left X"), field(info, "Absolute upper-left Y"),
                 field(info, "Width") + 2 * border, field(info, "Height") + 2 * border);
  }
  QImage screen() {
    QImage image = QImage::fromData(RunProcess("import", {"-window", "root", "png:-"}, ui.server.display()).out)
                       .convertToFormat(QImage::Format_RGB32);
    image.setColorSpace(QColorSpace());  // the PNG's sRGB mark is no pixel
    return image;
  }
  // `ask` makes the next numbered capture, which is exactly `rect` of the
  // screen as it was (the info popup that follows is on the screen after it).
  void expectShot(const std::function<void()>& ask, const QRect& rect, const char* what) {
    ASSERT_TRUE(WaitFor([&] { return !ui.visible(QStringLiteral("Lumora Info")); }));
    const QImage live = screen();
    ask();
    const QString name = QStringLiteral("Screen %1.bmp").arg(shots++, 5, 10, QLatin1Char('0'));
    ASSERT_TRUE(ui.shot(name)) << what;
    QThread::msleep(300);
    const QImage shot = DecodeWithImageMagick(ui.folder + name).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), rect.size()) << what;
    EXPECT_EQ(shot, live.copy(rect)) << what;
  }
  bool overlayOpen() { return ui.visible(QStringLiteral("Toolbox")); }
  void openOverlay() {
    ui.xdo({"key", "ctrl+alt+a"});
    ASSERT_TRUE(WaitFor([&] { return overlayOpen(); })) << "no overlay";
    QThread::msleep(300);
  }
  void point(QPoint p) {
    ui.xdo({"mousemove", QString::number(p.x()), QString::number(p.y())});
    QThread::msleep(250);
  }
  // A click on the window at `p` in the overlay, accepted, then captured.
  void snapAndCapture(QPoint p, const QString& title) {
    openOverlay();
    point(p);
    ui.xdo({"click", "1"});
    ui.xdo({"key", "Return"});
    ASSERT_TRUE(WaitFor([&] { return !overlayOpen(); })) << "Enter did not accept";
    QThread::msleep(300);  // the windows below have drawn themselves again
    expectShot([&] { ui.xdo({"key", "ctrl+alt+s"}); }, frame(title) & kScreenRect, qPrintable(title));
  }

  TrayDriver ui{kWidth, kHeight, TrayDriver::Options{false}};
  pid_t openbox = -1;
  QProcess* lumora = nullptr;
  int shots = 0;
};

// The pixels on the outline's ring inside `r`, 4 pixels wide.
bool onOutline(QPoint p, const QRect& r) { return r.contains(p) && !r.adjusted(4, 4, -4, -4).contains(p); }

}  // namespace

TEST_F(Windows, ClicksTakeFramesOutlinesLeaveNoMarkAndTheActiveWindowIsTaken) {
  struct Snap {
    QPoint at;
    const char* window;
  };
  const Snap managed[] = {
      {{150, 150}, "winA"},  // A alone
      {{300, 230}, "winB"},  // where B covers A
      {{950, 720}, "winC"},  // partly off the screen: cut to it
      {{700, 300}, "winD"},  // maximised, below the others
  };
  for (const Snap& s : managed) snapAndCapture(s.at, QLatin1String(s.window));

  // The outline moves from A to B: the frozen picture differs only on B's ring
  // (and where the Toolbox floats).
  QThread::msleep(2500);  // the last capture's badge has gone (it shows for two seconds)
  const QImage frozen = screen();
  const QRect a = frame("winA"), b = frame("winB");
  openOverlay();
  point({150, 150});
  const QImage onA = screen();
  point({450, 330});
  const QImage onB = screen();
  const QRect toolbox = frame("Toolbox");
  ui.xdo({"key", "Escape"});
  ASSERT_TRUE(WaitFor([&] { return !overlayOpen(); }));
  int ringA = 0, ringB = 0, stray = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const QPoint p(x, y);
      if (toolbox.contains(p)) continue;
      if (onA.pixel(p) != frozen.pixel(p)) ringA += onOutline(p, a) ? 1 : 0;
      if (onB.pixel(p) == frozen.pixel(p)) continue;
      if (onOutline(p, b & kScreenRect))
        ++ringB;
      else
        ++stray;
    }
  EXPECT_GT(ringA, 0) << "A was outlined";
  EXPECT_GT(ringB, 0) << "B is outlined";
  EXPECT_EQ(stray, 0) << "pixels changed outside B's outline";

  // The active window: from the hotkey, the tray menu and a second start.
  struct Active {
    const char* window;
    std::function<void(Windows&)> ask;
  };
  const Active active[] = {
      {"winA", [](Windows& t) { t.ui.xdo({"key", "ctrl+alt+w"}); }},
      {"winB", [](Windows& t) { t.ui.menu({"Down", "Down", "Down", "Down", "Return"}); }},  // "Aktives Fenster"
      {"winC", [](Windows& t) { t.ui.start({}, {"--shot-window"}); }},
  };
  for (const Active& c : active) {
    ui.xdo({"windowactivate", "--sync", windowId(QLatin1String(c.window))});
    QThread::msleep(300);
    expectShot([&] { c.ask(*this); }, frame(QLatin1String(c.window)) & kScreenRect, c.window);
  }

  // Without a window manager the root's windows are the windows, and the
  // active one is the one holding the keyboard focus.
  ui.server.stopClient(openbox);
  ASSERT_TRUE(WaitFor([&] { return topLevel("winA") == windowId("winA"); })) << "A still framed";
  snapAndCapture({150, 150}, QStringLiteral("winA"));
  ui.xdo({"windowfocus", "--sync", windowId("winB")});
  expectShot([&] { ui.xdo({"key", "ctrl+alt+w"}); }, frame("winB") & kScreenRect,
             "the focused window without a manager");

  // The tray is under the unframed maximised window now: a second start ends it.
  ui.start({}, {"--quit"});
  EXPECT_TRUE(lumora->waitForFinished(15000));
}
