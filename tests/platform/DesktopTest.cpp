#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/Desktop.h"

using namespace lumora;

namespace {

QProcessEnvironment env(const QStringList& entries) {
  QProcessEnvironment e;
  for (const QString& kv : entries) e.insert(kv.section('=', 0, 0), kv.section('=', 1));
  return e;
}

}  // namespace

TEST(Backend, TheSessionDecidesUnlessTheOverrideDoes) {
  struct Case {
    QStringList env;
    std::optional<Backend> want;
  };
  const Case cases[] = {
      {{"DISPLAY=:0"}, Backend::X11},
      {{}, Backend::X11},
      {{"DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0"}, Backend::Wayland},  // Xwayland beside it
      {{"DISPLAY=:0", "XDG_SESSION_TYPE=wayland"}, Backend::Wayland},
      {{"XDG_SESSION_TYPE=x11", "DISPLAY=:0"}, Backend::X11},
      {{"WAYLAND_DISPLAY=wayland-0", "LUMORA_BACKEND=x11"}, Backend::X11},
      {{"DISPLAY=:0", "LUMORA_BACKEND=Wayland"}, Backend::Wayland},
      {{"WAYLAND_DISPLAY=wayland-0", "LUMORA_BACKEND=xcb"}, std::nullopt},
  };
  for (const Case& c : cases) {
    const BackendChoice choice = ChooseBackend(env(c.env));
    EXPECT_EQ(choice.backend, c.want) << c.env.join(' ').toStdString();
    EXPECT_EQ(choice.error.isEmpty(), c.want.has_value()) << c.env.join(' ').toStdString();
  }
  EXPECT_EQ(QtPlatformFor(Backend::Wayland), QByteArray("wayland"));
  EXPECT_EQ(QtPlatformFor(Backend::X11), QByteArray("xcb"));
}

TEST(Backend, WithoutQtsWaylandPluginXwaylandServesTheWindowsOrOneLineSaysWhy) {
  struct Case {
    Backend backend;
    bool plugin, xServer;
    QByteArray want;  // empty: nothing can run
  };
  const Case cases[] = {
      {Backend::Wayland, true, false, "wayland"}, {Backend::Wayland, false, true, "xcb"},
      {Backend::Wayland, false, false, {}},       {Backend::X11, false, false, "xcb"},
  };
  for (const Case& c : cases) {
    const QtPlatformChoice choice = ChooseQtPlatform(c.backend, c.plugin, c.xServer);
    SCOPED_TRACE(c.want.constData());
    EXPECT_EQ(choice.plugin, c.want);
    EXPECT_EQ(choice.error.isEmpty(), !c.want.isEmpty());
    EXPECT_EQ(choice.note.isEmpty(), c.want != "xcb" || c.backend == Backend::X11);
    EXPECT_FALSE((choice.note + choice.error).contains(QLatin1Char('\n')));
  }
  // This machine has the plugin where Qt looks; an empty folder of its own does not hide it.
  EXPECT_TRUE(QtWaylandPluginInstalled(env({"QT_PLUGIN_PATH=/nonexistent"})));
}

TEST(Backend, OnlyASocketCountsAsACompositor) {
  QTemporaryDir dir;
  const QString socketPath = dir.filePath(QStringLiteral("wayland-5"));
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socketPath.toLocal8Bit().constData());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  QFile(dir.filePath(QStringLiteral("plain"))).open(QIODevice::WriteOnly);

  const QString runtime = QStringLiteral("XDG_RUNTIME_DIR=") + dir.path();
  EXPECT_EQ(WaylandSocket(env({runtime, "WAYLAND_DISPLAY=wayland-5"})), socketPath);
  EXPECT_EQ(WaylandSocket(env({"WAYLAND_DISPLAY=" + socketPath})), socketPath);
  EXPECT_EQ(WaylandSocket(env({runtime, "WAYLAND_DISPLAY=wayland-6"})), QString());
  EXPECT_EQ(WaylandSocket(env({runtime, "WAYLAND_DISPLAY=plain"})), QString());
  EXPECT_EQ(WaylandSocket(env({"WAYLAND_DISPLAY=wayland-5"})), QString());  // no runtime folder
  ::close(fd);
}
