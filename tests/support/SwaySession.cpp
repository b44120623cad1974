#include "SwaySession.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Unprivileged.h"

namespace lumora::test {

namespace {

// Runs inside dbus-run-session as the session's user.
const char* const kScript = R"(#!/bin/sh
B="$1"
cd "$HOME"
# Should the test program die without cleaning up, the session ends with it.
( while [ -d "/proc/$2" ]; do sleep 0.5; done; kill -TERM 0 ) &
pipewire >"$B/pipewire.log" 2>&1 &
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$B/sway.conf" >"$B/sway.log" 2>&1 &
for i in $(seq 200); do
  WAYLAND_DISPLAY=$(cd "$XDG_RUNTIME_DIR" && ls wayland-* 2>/dev/null | grep -v lock | head -n 1)
  SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n 1)
  [ -n "$WAYLAND_DISPLAY" ] && [ -n "$SWAYSOCK" ] && break
  sleep 0.05
done
export WAYLAND_DISPLAY SWAYSOCK
dbus-update-activation-environment WAYLAND_DISPLAY XDG_RUNTIME_DIR XDG_CURRENT_DESKTOP
/usr/libexec/xdg-desktop-portal-wlr >"$B/portal-wlr.log" 2>&1 &
# The portal itself is started by the bus on its first call.
printf 'DBUS_SESSION_BUS_ADDRESS=%s\nWAYLAND_DISPLAY=%s\nSWAYSOCK=%s\n' \
  "$DBUS_SESSION_BUS_ADDRESS" "$WAYLAND_DISPLAY" "$SWAYSOCK" >"$B/ready.tmp"
mv "$B/ready.tmp" "$B/ready"
wait
)";

// Stands in for the portal while it is stopped, so that the bus cannot start the
// real one on demand.
const char* const kNoPortal =
    "[D-BUS Service]\nName=org.freedesktop.portal.Desktop\nExec=/bin/false\n";

bool writeFile(const QString& path, const QByteArray& data, int mode) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size()) return false;
  f.close();
  return ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}

QString tail(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QString();
  const QByteArray all = f.readAll();
  return QString::fromUtf8(all.right(1500));
}

}  // namespace

SwaySession::SwaySession(const QImage& background, int width, int height) {
  if (!EnsureUser(kUser, uid_, gid_, error_)) return;
  QByteArray pattern = QDir::temp().filePath(QStringLiteral("lumora-sway-XXXXXX")).toLocal8Bit();
  if (!::mkdtemp(pattern.data())) {
    error_ = QStringLiteral("mkdtemp failed");
    return;
  }
  base_ = QString::fromLocal8Bit(pattern);
  home_ = base_ + QStringLiteral("/home");
  runtime_ = base_ + QStringLiteral("/run");
  const QString services = home_ + QStringLiteral("/.local/share/dbus-1/services");
  QDir().mkpath(runtime_);
  QDir().mkpath(services);
  QDir().mkpath(base_ + QStringLiteral("/bin"));
  const QString picture = base_ + QStringLiteral("/background.png");
  const QByteArray config = QStringLiteral(
                                "xwayland disable\n"
                                "output HEADLESS-1 resolution %1x%2\n"
                                "output HEADLESS-1 bg %3 fill\n")
                                .arg(width)
                                .arg(height)
                                .arg(picture)
                                .toUtf8();
  if (!background.save(picture, "PNG") || !writeFile(base_ + QStringLiteral("/sway.conf"), config, 0644) ||
      !writeFile(base_ + QStringLiteral("/session.sh"), kScript, 0755)) {
    error_ = QStringLiteral("cannot write the session's files in %1").arg(base_);
    return;
  }
  // Everything belongs to the session's user; the runtime folder is private to it.
  QProcess::execute(QStringLiteral("chown"), {QStringLiteral("-R"), QStringLiteral("%1:%2").arg(uid_).arg(gid_), base_});
  ::chmod(QFile::encodeName(base_).constData(), 0755);
  ::chmod(QFile::encodeName(runtime_).constData(), 0700);
  ::chmod(QFile::encodeName(picture).constData(), 0644);

  const QByteArray script = (base_ + QStringLiteral("/session.sh")).toLocal8Bit();
  const QByteArray baseArg = base_.toLocal8Bit();
  const QByteArray testPid = QByteArray::number(::getpid());
  std::vector<QByteArray> env{"PATH=/usr/local/bin:/usr/bin:/bin", "HOME=" + home_.toLocal8Bit(),
                              "XDG_RUNTIME_DIR=" + runtime_.toLocal8Bit(), "XDG_CURRENT_DESKTOP=sway:gnome",
                              // the bus finds its user's services here, not under the passwd home
                              "XDG_DATA_HOME=" + home_.toLocal8Bit() + "/.local/share",
                              "XDG_SESSION_TYPE=wayland", "LANG=C.UTF-8"};
  std::vector<char*> envp;
  for (QByteArray& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  const QByteArray log = (base_ + QStringLiteral("/session.log")).toLocal8Bit();
  group_ = ::fork();
  if (group_ == 0) {
    ::setsid();  // its own session and process group, ended as one
    const int out = ::open(log.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const int in = ::open("/dev/null", O_RDONLY);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(out, 2);
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(gid_) != 0 || ::setuid(uid_) != 0)) ::_exit(126);
    const char* argv[] = {"dbus-run-session", "--", "/bin/sh", script.constData(), baseArg.constData(),
                          testPid.constData(), nullptr};
    ::execve("/usr/bin/dbus-run-session", const_cast<char* const*>(argv), envp.data());
    ::_exit(127);
  }
  if (group_ < 0) {
    error_ = QStringLiteral("fork failed");
    return;
  }

  // The script names the compositor and the bus once sway is up.
  QFile ready(base_ + QStringLiteral("/ready"));
  for (int i = 0; i < 400 && !ready.exists(); ++i) {
    if (::waitpid(group_, nullptr, WNOHANG) == group_) {
      group_ = -1;
      break;
    }
    QThread::msleep(25);
  }
  if (!ready.open(QIODevice::ReadOnly)) {
    error_ = QStringLiteral("sway did not start:\n%1\n%2").arg(tail(base_ + "/session.log"), tail(base_ + "/sway.log"));
    return;
  }
  for (const QByteArray& line : ready.readAll().split('\n')) {
    const QString l = QString::fromUtf8(line);
    if (l.startsWith(QLatin1String("DBUS_SESSION_BUS_ADDRESS="))) busAddress_ = l.section(QLatin1Char('='), 1);
    if (l.startsWith(QLatin1String("WAYLAND_DISPLAY="))) waylandDisplay_ = l.section(QLatin1Char('='), 1);
    if (l.startsWith(QLatin1String("SWAYSOCK="))) swaySocket_ = l.section(QLatin1Char('='), 1);
  }
  if (waylandDisplay_.isEmpty() || busAddress_.isEmpty()) {
    error_ = QStringLiteral("sway or the session bus did not come up:\n%1").arg(tail(base_ + "/sway.log"));
    return;
  }
  // Kept aside until the portal is to stay away.
  writeFile(services + QStringLiteral("/org.freedesktop.portal.Desktop.service.off"), kNoPortal, 0644);
  if (!waitForPortal())
    error_ = QStringLiteral("the desktop portal did not come up:\n%1\n%2")
                 .arg(tail(base_ + "/portal.log"), tail(base_ + "/portal-wlr.log"));
}

SwaySession::~SwaySession() {
  for (pid_t c : std::vector<pid_t>(clients_)) stop(c);
  if (group_ > 0) {
    ::kill(-group_, SIGTERM);
    bool ended = false;
    for (int i = 0; i < 100 && !ended; ++i) {
      ended = ::waitpid(group_, nullptr, WNOHANG) == group_;
      if (!ended) QThread::msleep(20);
    }
    // Whatever of the group is still there (the daemons do not all end on TERM).
    ::kill(-group_, SIGKILL);
    if (!ended) ::waitpid(group_, nullptr, 0);
  }
  if (!base_.isEmpty()) QDir(base_).removeRecursively();
}

QStringList SwaySession::environment(const QStringList& extraEnv) const {
  QStringList env{QStringLiteral("PATH=/usr/local/bin:/usr/bin:/bin"),
                  QStringLiteral("HOME=") + home_,
                  QStringLiteral("XDG_RUNTIME_DIR=") + runtime_,
                  QStringLiteral("XDG_DATA_HOME=") + home_ + QStringLiteral("/.local/share"),
                  QStringLiteral("XDG_CURRENT_DESKTOP=sway:gnome"),
                  QStringLiteral("XDG_SESSION_TYPE=wayland"),
                  QStringLiteral("LANG=C.UTF-8"),
                  QStringLiteral("WAYLAND_DISPLAY=") + waylandDisplay_,
                  QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + busAddress_,
                  QStringLiteral("SWAYSOCK=") + swaySocket_};
  for (const QString& kv : extraEnv) {
    const QString name = kv.section(QLatin1Char('='), 0, 0);
    env.erase(std::remove_if(env.begin(), env.end(), [&](const QString& e) { return e.startsWith(name + '='); }),
              env.end());
    if (!kv.endsWith(QLatin1Char('='))) env << kv;
  }
  return env;
}

QStringList SwaySession::asUser(const QString& program, const QStringList& args) const {
  if (::geteuid() != 0) return QStringList{program} + args;
  return QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(uid_),
                     QStringLiteral("--regid=%1").arg(gid_), QStringLiteral("--clear-groups"), QStringLiteral("--")} +
         QStringList{program} + args;
}

ProcessResult SwaySession::run(const QString& program, const QStringList& args, int timeoutMs,
                               const QStringList& extraEnv) const {
  QProcess process;
  process.setEnvironment(environment(extraEnv));
  process.setWorkingDirectory(home_);
  QStringList command = asUser(program, args);
  const QString first = command.takeFirst();
  return RunToEnd(process, first, command, timeoutMs);
}

pid_t SwaySession::start(const QString& program, const QStringList& args) {
  QProcess process;
  process.setEnvironment(environment({}));
  process.setWorkingDirectory(home_);
  process.setStandardOutputFile(home_ + QStringLiteral("/client.out"), QIODevice::Append);
  process.setStandardErrorFile(home_ + QStringLiteral("/client.err"), QIODevice::Append);
  QStringList command = asUser(program, args);
  process.setProgram(command.takeFirst());
  process.setArguments(command);
  qint64 pid = 0;
  if (!process.startDetached(&pid)) return -1;
  clients_.push_back(pid_t(pid));
  return pid_t(pid);
}

void SwaySession::stop(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  for (int i = 0; i < 100 && ::kill(pid, 0) == 0; ++i) QThread::msleep(20);
  ::kill(pid, SIGKILL);
  clients_.erase(std::remove(clients_.begin(), clients_.end(), pid), clients_.end());
}

QByteArray SwaySession::swaymsg(const QStringList& args) const { return run(QStringLiteral("swaymsg"), args).out; }

QString SwaySession::install(const QString& program) {
  const QString copy = base_ + QStringLiteral("/bin/") + QFileInfo(program).fileName();
  QFile::remove(copy);
  if (!QFile::copy(program, copy)) return QString();
  ::chmod(QFile::encodeName(copy).constData(), 0755);
  return copy;
}

QImage SwaySession::grimPicture() const {
  const QString file = home_ + QStringLiteral("/grim.png");
  const ProcessResult r = run(QStringLiteral("grim"), {file});
  QImage picture;
  if (r.exitCode == 0) picture.load(file);
  QFile::remove(file);
  return picture.convertToFormat(QImage::Format_RGB32);
}

bool SwaySession::waitForPortal() const {
  const QStringList probe{QStringLiteral("--session"),
                          QStringLiteral("--print-reply"),
                          QStringLiteral("--dest=org.freedesktop.portal.Desktop"),
                          QStringLiteral("/org/freedesktop/portal/desktop"),
                          QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                          QStringLiteral("string:org.freedesktop.portal.Screenshot"),
                          QStringLiteral("string:version")};
  for (int i = 0; i < 100; ++i) {
    if (run(QStringLiteral("dbus-send"), probe, 5000).exitCode == 0) return true;
    QThread::msleep(100);
  }
  return false;
}

bool SwaySession::stopPortal() {
  const QString services = home_ + QStringLiteral("/.local/share/dbus-1/services/");
  QFile::rename(services + "org.freedesktop.portal.Desktop.service.off",
                services + "org.freedesktop.portal.Desktop.service");
  auto bus = [this](const QString& method, const QString& arg) {
    QStringList args{QStringLiteral("--session"), QStringLiteral("--dest=org.freedesktop.DBus"),
                     QStringLiteral("--print-reply"), QStringLiteral("/org/freedesktop/DBus"),
                     QStringLiteral("org.freedesktop.DBus.") + method};
    if (!arg.isEmpty()) args << arg;
    return run(QStringLiteral("dbus-send"), args);
  };
  bus(QStringLiteral("ReloadConfig"), QString());
  // Whoever holds the portal's name, started by the bus or otherwise.
  const ProcessResult owner =
      bus(QStringLiteral("GetConnectionUnixProcessID"), QStringLiteral("string:org.freedesktop.portal.Desktop"));
  const pid_t pid = pid_t(owner.out.mid(owner.out.lastIndexOf("uint32") + 6).trimmed().toInt());
  if (owner.exitCode != 0 || pid <= 0 || ::kill(pid, SIGTERM) != 0) return false;
  for (int i = 0; i < 100 && ::kill(pid, 0) == 0; ++i) QThread::msleep(20);
  return ::kill(pid, 0) != 0;
}

bool SwaySession::restartPortal() {
  const QString services = home_ + QStringLiteral("/.local/share/dbus-1/services/");
  QFile::rename(services + "org.freedesktop.portal.Desktop.service",
                services + "org.freedesktop.portal.Desktop.service.off");
  run(QStringLiteral("dbus-send"), {QStringLiteral("--session"), QStringLiteral("--dest=org.freedesktop.DBus"),
                                    QStringLiteral("--print-reply"), QStringLiteral("/org/freedesktop/DBus"),
                                    QStringLiteral("org.freedesktop.DBus.ReloadConfig")});
  return waitForPortal();
}

}  // namespace lumora::test
