#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

AtomicFile::AtomicFile(const QString& path, Durability durability)
    : path_(path), durability_(durability) {}

AtomicFile::~AtomicFile() { cancel(); }

bool AtomicFile::open() {
  cancel();
  failed_ = false;
  if (path_.isEmpty()) return false;
  QFileInfo target(path_);
  if (target.isDir()) return false;
  QByteArray pattern = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                                         QStringLiteral(".XXXXXX"));
  fd_ = ::mkstemp(pattern.data());
  if (fd_ < 0) return false;
  tempPath_ = QFile::decodeName(pattern);
  // mkstemp creates the file 0600; a picture or settings file gets the usual mode.
  mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat old {};
  ::fchmod(fd_, ::stat(QFile::encodeName(path_).constData(), &old) == 0 ? (old.st_mode & 07777)
                                                                        : (0666 & ~mask));
  return true;
}

bool AtomicFile::write(const void* data, size_t size) {
  if (fd_ < 0 || failed_) return false;
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd_, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      return false;
    }
    p += n;
    size -= size_t(n);
  }
  return true;
}

bool AtomicFile::commit() {
  if (fd_ < 0) return false;
  bool ok = !failed_;
  if (ok && durability_ == Durability::Synced) ok = ::fsync(fd_) == 0;
  if (::close(fd_) != 0) ok = false;
  fd_ = -1;
  if (ok) ok = ::rename(QFile::encodeName(tempPath_).constData(), QFile::encodeName(path_).constData()) == 0;
  if (!ok) ::unlink(QFile::encodeName(tempPath_).constData());
  tempPath_.clear();
  return ok;
}

void AtomicFile::cancel() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!tempPath_.isEmpty()) {
    ::unlink(QFile::encodeName(tempPath_).constData());
    tempPath_.clear();
  }
}

}  // namespace lumora
