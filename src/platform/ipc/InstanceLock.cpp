#include "platform/ipc/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/fs/RuntimeFolder.h"

namespace lumora {

QString InstanceLock::ServerKey(const QString& display) {
  // [protocol/][host]:number[.screen]
  static const QRegularExpression form(QStringLiteral("^(?:[a-z]+/)?(.*):([0-9]+)(?:\\.[0-9]+)?$"));
  const QRegularExpressionMatch m = form.match(display);
  if (!m.hasMatch()) return QString();
  // A number too large for any server names none; read loosely it would become
  // another display's number (0), and its commands would reach that display's program.
  bool ok = false;
  const int number = m.captured(2).toInt(&ok);
  if (!ok) return QString();
  QString host = m.captured(1);
  if (host.isEmpty() || host == QLatin1String("unix")) host = QStringLiteral("local");
  host.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
  return host + QLatin1Char('-') + QString::number(number);
}

namespace {

// Whether `path` still names the file open as `fd`: the program before may have
// removed the name after we opened it, and a lock on a file without a name
// keeps no one out.
bool stillNamed(int fd, const QString& path) {
  struct stat opened {}, named {};
  return ::fstat(fd, &opened) == 0 && ::lstat(QFile::encodeName(path).constData(), &named) == 0 &&
         opened.st_ino == named.st_ino && opened.st_dev == named.st_dev;
}

}  // namespace

InstanceLock::InstanceLock(const QString& key, QStringList folders) : key_(key) {
  if (key_.isEmpty()) key_ = QStringLiteral("unknown");
  if (folders.isEmpty()) folders = RuntimeFolders();
  for (const QString& folder : folders) {
    if (!PrivateFolder(folder)) continue;
    const QString path = folder + QStringLiteral("/lumora-") + key_ + QStringLiteral(".lock");
    for (int attempt = 0; attempt < 100; ++attempt) {
      // Never through a link: a planted one could make us create or lock a file elsewhere.
      const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (fd < 0) break;  // not ours to open: try the next place rather than refuse to start
      path_ = path;
      folder_ = folder;
      if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        heldElsewhere_ = true;
        return;
      }
      if (stillNamed(fd, path)) {
        fd_ = fd;
        return;
      }
      ::close(fd);
    }
    path_.clear();
    folder_.clear();
  }
}

InstanceLock::~InstanceLock() {
  // The name goes while the lock is still held, so that nothing is left behind
  // for every display the program ever ran on; a program that opened the file
  // in the meantime notices that it has no name any more and makes a new one.
  if (fd_ >= 0) {
    ::unlink(QFile::encodeName(path_).constData());
    ::close(fd_);
  }
}

}  // namespace lumora
