#include "XvfbServer.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumora::test {

namespace {

void stop(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
    ::usleep(20000);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

}  // namespace

XvfbServer::XvfbServer(int width, int height, const QStringList& extraArgs)
    : XvfbServer(Kind::Xvfb, width, height, extraArgs) {}

std::unique_ptr<XvfbServer> XvfbServer::Xvnc(int width, int height) {
  return std::unique_ptr<XvfbServer>(new XvfbServer(Kind::Xvnc, width, height, {}));
}

XvfbServer::XvfbServer(Kind kind, int width, int height, const QStringList& extraArgs) {
  int fds[2];
  if (::pipe(fds) != 0) return;
  const QByteArray fd = QByteArray::number(fds[1]);
  std::vector<QByteArray> args;
  if (kind == Kind::Xvfb) {
    const QByteArray geometry = QStringLiteral("%1x%2x24").arg(width).arg(height).toLatin1();
    args = {"Xvfb", "-displayfd", fd, "-screen", "0", geometry, "-noreset", "-nolisten", "tcp"};
  } else {
    // TigerVNC's server: RandR that can resize and take monitors; its VNC port is
    // chosen by the system and reachable from this machine only.
    const QByteArray geometry = QStringLiteral("%1x%2").arg(width).arg(height).toLatin1();
    args = {"Xvnc",    "-displayfd", fd,        "-geometry", geometry, "-depth",   "24",        "-SecurityTypes",
            "None",    "-localhost", "-rfbport", "0",         "-noreset", "-nolisten", "tcp"};
  }
  for (const QString& a : extraArgs) args.push_back(a.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ == 0) {
    ::close(fds[0]);
    int devnull = ::open("/dev/null", O_RDWR);
    ::dup2(devnull, 0);
    ::dup2(devnull, 1);
    ::dup2(devnull, 2);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  // Xvfb writes its display number once it accepts connections.
  QByteArray number;
  pollfd p{fds[0], POLLIN, 0};
  while (::poll(&p, 1, 20000) > 0) {
    char buf[16];
    ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    number.append(buf, int(n));
    if (number.contains('\n')) break;
  }
  ::close(fds[0]);
  number = number.trimmed();
  if (!number.isEmpty()) display_ = QStringLiteral(":") + QString::fromLatin1(number);
}

void XvfbServer::stopClient(pid_t pid) {
  for (auto it = clients_.begin(); it != clients_.end(); ++it)
    if (*it == pid) {
      stop(pid);
      clients_.erase(it);
      return;
    }
}

void XvfbServer::crash() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

XvfbServer::~XvfbServer() {
  for (pid_t c : clients_) stop(c);
  stop(pid_);
}

pid_t XvfbServer::startClient(const QString& program, const QStringList& args, const QStringList& extraEnv) {
  qint64 pid = 0;
  QProcess process;
  process.setProgram(program);
  process.setArguments(args);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), display_);
  for (const QString& kv : extraEnv) env.insert(kv.section('=', 0, 0), kv.section('=', 1));
  process.setProcessEnvironment(env);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  if (!process.startDetached(&pid)) return -1;
  clients_.push_back(pid_t(pid));
  return pid_t(pid);
}

ProcessResult RunToEnd(QProcess& process, const QString& program, const QStringList& args, int timeoutMs) {
  ProcessResult result;
  process.start(program, args);
  if (!process.waitForStarted(10000)) return result;
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished(5000);
    return result;
  }
  result.out = process.readAllStandardOutput();
  result.err = process.readAllStandardError();
  result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  return result;
}

ProcessResult RunProcess(const QString& program, const QStringList& args, const QString& display, int timeoutMs,
                         const QStringList& extraEnv) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  if (display.isEmpty())
    env.remove(QStringLiteral("DISPLAY"));
  else
    env.insert(QStringLiteral("DISPLAY"), display);
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
  for (const QString& kv : extraEnv) {
    const int eq = kv.indexOf(QLatin1Char('='));
    env.insert(kv.left(eq), kv.mid(eq + 1));
  }
  process.setProcessEnvironment(env);
  return RunToEnd(process, program, args, timeoutMs);
}

}  // namespace lumora::test

#include <xcb/xcb.h>
#include <algorithm>
#include <cstdlib>

namespace lumora::test {

bool SetRootPicture(const QString& display, const QImage& picture) {
  xcb_connection_t* c = xcb_connect(display.toLatin1().constData(), nullptr);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    return false;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  xcb_pixmap_t pixmap = xcb_generate_id(c);
  xcb_create_pixmap(c, screen->root_depth, pixmap, screen->root, uint16_t(image.width()), uint16_t(image.height()));
  xcb_gcontext_t gc = xcb_generate_id(c);
  xcb_create_gc(c, gc, pixmap, 0, nullptr);
  // Small bands keep each request below the server's limit.
  const int band = std::max(1, 32768 / (image.width() * 4));
  for (int y = 0; y < image.height(); y += band) {
    const int rows = std::min(band, image.height() - y);
    QByteArray data;
    for (int r = 0; r < rows; ++r)
      data.append(reinterpret_cast<const char*>(image.constScanLine(y + r)), image.width() * 4);
    xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, uint16_t(image.width()), uint16_t(rows), 0, int16_t(y), 0,
                  screen->root_depth, uint32_t(data.size()), reinterpret_cast<const uint8_t*>(data.constData()));
  }
  xcb_change_window_attributes(c, screen->root, XCB_CW_BACK_PIXMAP, &pixmap);
  xcb_clear_area(c, 0, screen->root, 0, 0, 0, 0);
  xcb_free_gc(c, gc);
  xcb_free_pixmap(c, pixmap);
  free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // round trip: all done
  const bool ok = !xcb_connection_has_error(c);
  xcb_disconnect(c);
  return ok;
}

}  // namespace lumora::test
