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
  QString host = m.captured(1);
  if (host.isEmpty() || host == QLatin1String("unix")) host = QStringLiteral("local");
  host.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
  return host + QLatin1Char('-') + QString::number(m.captured(2).toUInt());
}

InstanceLock::InstanceLock(const QString& key, QStringList folders) : key_(key) {
  if (key_.isEmpty()) key_ = QStringLiteral("unknown");
  if (folders.isEmpty()) folders = RuntimeFolders();
  for (const QString& folder : folders) {
    if (!PrivateFolder(folder)) continue;
    const QString path = folder + QStringLiteral("/lumora-") + key_ + QStringLiteral(".lock");
    // Never through a link: a planted one could make us create or lock a file elsewhere.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) continue;  // not ours to open: try the next place rather than refuse to start
    path_ = path;
    folder_ = folder;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      heldElsewhere_ = true;
      return;
    }
    fd_ = fd;
    return;
  }
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace lumora
