#include "PrivateBus.h"

#include <QFile>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace lumora::test {

namespace {

const char* const kConfig = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>%1</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

}  // namespace

QByteArray BareBusConfig(const char* type) { return QString::fromLatin1(kConfig).arg(QLatin1String(type)).toLatin1(); }

PrivateBus::PrivateBus() {
  if (!config_.open()) return;
  config_.write(BareBusConfig("session"));
  config_.flush();
  int fds[2];
  if (::pipe(fds) != 0) return;
  const QByteArray configArg = "--config-file=" + QFile::encodeName(config_.fileName());
  const QByteArray printTo = "--print-address=" + QByteArray::number(fds[1]);
  pid_ = ::fork();
  if (pid_ == 0) {
    ::close(fds[0]);
    const int devnull = ::open("/dev/null", O_RDWR);
    ::dup2(devnull, 0);
    ::dup2(devnull, 1);
    ::dup2(devnull, 2);
    const char* argv[] = {"dbus-daemon", configArg.constData(), "--nofork", "--nopidfile", printTo.constData(),
                          nullptr};
    ::execvp("dbus-daemon", const_cast<char* const*>(argv));
    ::_exit(127);
  }
  ::close(fds[1]);
  // The daemon writes its address once it listens.
  QByteArray line;
  pollfd p{fds[0], POLLIN, 0};
  while (!line.contains('\n') && ::poll(&p, 1, 10000) > 0) {
    char buf[256];
    const ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    line.append(buf, int(n));
  }
  ::close(fds[0]);
  address_ = QString::fromUtf8(line.trimmed());
}

PrivateBus::~PrivateBus() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

}  // namespace lumora::test
