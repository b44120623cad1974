#include "platform/clipboard/HolderLock.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace lumora {

namespace {

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

pid_t readPid(int fd) {
  char buf[32] = {};
  const ssize_t n = ::pread(fd, buf, sizeof buf - 1, 0);
  if (n <= 0) return 0;
  char* end = nullptr;
  const long pid = std::strtol(buf, &end, 10);
  return (end != buf && pid > 1) ? pid_t(pid) : 0;
}

}  // namespace

QString HolderLock::FileName(const QString& display) {
  QString name = display;
  for (QChar& c : name)
    if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('.') && c != QLatin1Char('-'))
      c = QLatin1Char('_');
  return QStringLiteral("lumora-clipboard-%1.pid").arg(name);
}

HolderLock::HolderLock(const QString& folder, const QString& display, std::function<bool(pid_t)> isHolder,
                       std::chrono::milliseconds patience) {
  name_ = QFile::encodeName(FileName(display));
  path_ = folder + QLatin1Char('/') + QFile::decodeName(name_);
  if (openFolder(folder)) acquire(isHolder, patience);
}

HolderLock::~HolderLock() {
  // The name goes while the lock is still held: a holder waiting on this file
  // notices that it is gone and makes a new one.
  if (fd_ >= 0) {
    ::unlinkat(dirFd_, name_.constData(), 0);
    ::close(fd_);
  }
  if (dirFd_ >= 0) ::close(dirFd_);
}

bool HolderLock::openFolder(const QString& folder) {
  dirFd_ = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (dirFd_ < 0) {
    error_ = errno == ENOTDIR || errno == ELOOP
                 ? QStringLiteral("%1 ist ein symbolischer Verweis oder kein Ordner.").arg(folder)
                 : QStringLiteral("Ordner %1 nicht nutzbar: %2").arg(folder, systemError());
    return false;
  }
  struct stat st {};
  // Only a folder that no one else can write to keeps others from planting the file.
  if (::fstat(dirFd_, &st) != 0 || st.st_uid != ::geteuid() || (st.st_mode & 022) != 0) {
    error_ = QStringLiteral("Der Ordner %1 gehört nicht Ihnen oder ist für andere beschreibbar.").arg(folder);
    ::close(dirFd_);
    dirFd_ = -1;
    return false;
  }
  return true;
}

void HolderLock::acquire(const std::function<bool(pid_t)>& isHolder, std::chrono::milliseconds patience) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  bool asked = false, forced = false;
  for (;;) {
    const int fd = ::openat(dirFd_, name_.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      error_ = errno == ELOOP ? QStringLiteral("%1 ist ein symbolischer Verweis.").arg(path_)
                              : QStringLiteral("%1 nicht nutzbar: %2").arg(path_, systemError());
      return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
      error_ = QStringLiteral("%1 ist keine eigene Datei.").arg(path_);
      ::close(fd);
      return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      // The holder before may have removed the name after we opened it.
      struct stat now {};
      if (::fstatat(dirFd_, name_.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 && now.st_ino == st.st_ino &&
          now.st_dev == st.st_dev) {
        const QByteArray pid = QByteArray::number(::getpid()) + '\n';
        if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, pid.constData(), size_t(pid.size()), 0) != pid.size()) {
          error_ = QStringLiteral("%1 nicht beschreibbar: %2").arg(path_, systemError());
          ::close(fd);
          return;
        }
        fd_ = fd;
        return;
      }
      ::close(fd);
      continue;
    }
    const pid_t other = readPid(fd);
    ::close(fd);
    const auto waited = Clock::now() - start;
    if (other > 0 && other != ::getpid() && isHolder(other)) {
      if (!asked) {
        ::kill(other, SIGTERM);
        asked = true;
      } else if (!forced && waited > patience / 2) {
        ::kill(other, SIGKILL);
        forced = true;
      }
    }
    if (waited > patience) {
      error_ = QStringLiteral("Der vorige Zwischenablage-Prozess endet nicht (%1).").arg(path_);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace lumora
