#include "WaylandSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Unprivileged.h"

namespace lumora::test {

namespace {

// Stands in for the portal while it is stopped, so that the bus cannot start the
// real one on demand.
const char* const kNoPortal = "[D-BUS Service]\nName=org.freedesktop.portal.Desktop\nExec=/bin/false\n";
const char* const kServices = "/.local/share/dbus-1/services/";

QString tail(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(f.readAll().right(1500));
}

}  // namespace

WaylandSession::WaylandSession(const QString& desktop) : desktop_(desktop) {
  if (!EnsureUser(kUser, uid_, gid_, error_)) return;
  QByteArray pattern = QDir::temp().filePath(QStringLiteral("lumora-wayland-XXXXXX")).toLocal8Bit();
  if (!::mkdtemp(pattern.data())) {
    error_ = QStringLiteral("mkdtemp failed");
    return;
  }
  base_ = QString::fromLocal8Bit(pattern);
  home_ = base_ + QStringLiteral("/home");
  runtime_ = base_ + QStringLiteral("/run");
  QDir().mkpath(runtime_);
  QDir().mkpath(home_ + QLatin1String(kServices));
  QDir().mkpath(base_ + QStringLiteral("/bin"));
  // Everything belongs to the session's user; the runtime folder is private to it.
  QProcess::execute(QStringLiteral("chown"), {QStringLiteral("-R"), QStringLiteral("%1:%2").arg(uid_).arg(gid_), base_});
  ::chmod(QFile::encodeName(base_).constData(), 0755);
  ::chmod(QFile::encodeName(runtime_).constData(), 0700);
}

WaylandSession::~WaylandSession() {
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

bool WaylandSession::write(const QString& name, const QByteArray& data, int mode) {
  const QString path = base_ + QLatin1Char('/') + name;
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size()) return false;
  f.close();
  const QByteArray native = QFile::encodeName(path);
  return ::chmod(native.constData(), mode_t(mode)) == 0 && ::chown(native.constData(), uid_, gid_) == 0;
}

QString WaylandSession::log(const QString& name) const { return tail(base_ + QLatin1Char('/') + name); }

bool WaylandSession::launch(const QByteArray& script, int waitMs, const QStringList& args) {
  if (!running()) return false;
  if (!write(QStringLiteral("session.sh"), script, 0755)) {
    error_ = QStringLiteral("cannot write the session's files in %1").arg(base_);
    return false;
  }
  const QByteArray scriptPath = (base_ + QStringLiteral("/session.sh")).toLocal8Bit();
  const QByteArray baseArg = base_.toLocal8Bit();
  const QByteArray testPid = QByteArray::number(::getpid());
  std::vector<QByteArray> extra;
  for (const QString& a : args) extra.push_back(a.toLocal8Bit());
  std::vector<QByteArray> env{"PATH=/usr/local/bin:/usr/bin:/bin", "HOME=" + home_.toLocal8Bit(),
                              "XDG_RUNTIME_DIR=" + runtime_.toLocal8Bit(),
                              "XDG_CURRENT_DESKTOP=" + desktop_.toLocal8Bit(),
                              // the bus finds its user's services here, not under the passwd home
                              "XDG_DATA_HOME=" + home_.toLocal8Bit() + "/.local/share",
                              "XDG_CONFIG_HOME=" + home_.toLocal8Bit() + "/.config",
                              "XDG_SESSION_TYPE=wayland", "LANG=C.UTF-8"};
  std::vector<char*> envp;
  for (QByteArray& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  const QByteArray logPath = (base_ + QStringLiteral("/session.log")).toLocal8Bit();
  group_ = ::fork();
  if (group_ == 0) {
    ::setsid();  // its own session and process group, ended as one
    const int out = ::open(logPath.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const int in = ::open("/dev/null", O_RDONLY);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(out, 2);
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(gid_) != 0 || ::setuid(uid_) != 0)) ::_exit(126);
    std::vector<const char*> argv{"dbus-run-session", "--", "/bin/sh", scriptPath.constData(), baseArg.constData(),
                                  testPid.constData()};
    for (const QByteArray& a : extra) argv.push_back(a.constData());
    argv.push_back(nullptr);
    ::execve("/usr/bin/dbus-run-session", const_cast<char* const*>(argv.data()), envp.data());
    ::_exit(127);
  }
  if (group_ < 0) {
    error_ = QStringLiteral("fork failed");
    return false;
  }
  QFile ready(base_ + QStringLiteral("/ready"));
  for (int waited = 0; waited < waitMs && !ready.exists(); waited += 25) {
    if (::waitpid(group_, nullptr, WNOHANG) == group_) {
      group_ = -1;
      break;
    }
    QThread::msleep(25);
  }
  if (!ready.open(QIODevice::ReadOnly)) {
    error_ = QStringLiteral("the desktop did not start:\n%1").arg(log(QStringLiteral("session.log")));
    return false;
  }
  for (const QByteArray& line : ready.readAll().split('\n'))
    if (line.contains('=')) named_ << QString::fromUtf8(line);
  if (!std::any_of(named_.begin(), named_.end(), [](const QString& n) { return n.startsWith("WAYLAND_DISPLAY="); }) ||
      !std::any_of(named_.begin(), named_.end(),
                   [](const QString& n) { return n.startsWith("DBUS_SESSION_BUS_ADDRESS="); })) {
    error_ = QStringLiteral("the compositor or the session bus did not come up:\n%1").arg(log("session.log"));
    return false;
  }
  // Kept aside until the portal is to stay away.
  write(QStringLiteral("home") + kServices + QStringLiteral("org.freedesktop.portal.Desktop.service.off"), kNoPortal);
  return true;
}

QStringList WaylandSession::environment(const QStringList& extraEnv) const {
  QStringList env = QStringList{QStringLiteral("PATH=/usr/local/bin:/usr/bin:/bin"),
                                QStringLiteral("HOME=") + home_,
                                QStringLiteral("XDG_RUNTIME_DIR=") + runtime_,
                                QStringLiteral("XDG_DATA_HOME=") + home_ + QStringLiteral("/.local/share"),
                                QStringLiteral("XDG_CONFIG_HOME=") + home_ + QStringLiteral("/.config"),
                                QStringLiteral("XDG_CURRENT_DESKTOP=") + desktop_,
                                QStringLiteral("XDG_SESSION_TYPE=wayland"),
                                QStringLiteral("LANG=C.UTF-8")} +
                    named_;
  for (const QString& kv : extraEnv) {
    const QString name = kv.section(QLatin1Char('='), 0, 0);
    env.erase(std::remove_if(env.begin(), env.end(), [&](const QString& e) { return e.startsWith(name + '='); }),
              env.end());
    if (!kv.endsWith(QLatin1Char('='))) env << kv;
  }
  return env;
}

QStringList WaylandSession::asUser(const QString& program, const QStringList& args) const {
  if (::geteuid() != 0) return QStringList{program} + args;
  return QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(uid_),
                     QStringLiteral("--regid=%1").arg(gid_), QStringLiteral("--clear-groups"), QStringLiteral("--")} +
         QStringList{program} + args;
}

ProcessResult WaylandSession::run(const QString& program, const QStringList& args, int timeoutMs,
                                  const QStringList& extraEnv) const {
  QProcess process;
  process.setEnvironment(environment(extraEnv));
  process.setWorkingDirectory(home_);
  QStringList command = asUser(program, args);
  const QString first = command.takeFirst();
  return RunToEnd(process, first, command, timeoutMs);
}

pid_t WaylandSession::start(const QString& program, const QStringList& args) {
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

void WaylandSession::stop(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  for (int i = 0; i < 100 && ::kill(pid, 0) == 0; ++i) QThread::msleep(20);
  ::kill(pid, SIGKILL);
  clients_.erase(std::remove(clients_.begin(), clients_.end(), pid), clients_.end());
}

QString WaylandSession::install(const QString& program) {
  const QString copy = base_ + QStringLiteral("/bin/") + QFileInfo(program).fileName();
  QFile::remove(copy);
  if (!QFile::copy(program, copy)) return QString();
  ::chmod(QFile::encodeName(copy).constData(), 0755);
  return copy;
}

bool WaylandSession::waitForPortal() const {
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

bool WaylandSession::stopPortal() {
  const QString services = home_ + QLatin1String(kServices);
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

bool WaylandSession::restartPortal() {
  const QString services = home_ + QLatin1String(kServices);
  QFile::rename(services + "org.freedesktop.portal.Desktop.service",
                services + "org.freedesktop.portal.Desktop.service.off");
  run(QStringLiteral("dbus-send"), {QStringLiteral("--session"), QStringLiteral("--dest=org.freedesktop.DBus"),
                                    QStringLiteral("--print-reply"), QStringLiteral("/org/freedesktop/DBus"),
                                    QStringLiteral("org.freedesktop.DBus.ReloadConfig")});
  return waitForPortal();
}

}  // namespace lumora::test
