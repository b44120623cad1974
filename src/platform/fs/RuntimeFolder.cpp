#include "platform/fs/RuntimeFolder.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {

namespace {

bool ownedAndClosed(const struct stat& st) {
  return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 022) == 0;
}

}  // namespace

QString RuntimeFolder(const QByteArray& xdgRuntimeDir, const QString& fallbackBase) {
  struct stat st {};
  // A folder that is not the user's own (a variable kept across su, say) is passed over.
  if (xdgRuntimeDir.startsWith('/') && ::lstat(xdgRuntimeDir.constData(), &st) == 0 && ownedAndClosed(st))
    return QFile::decodeName(xdgRuntimeDir);
  const QString folder = QStringLiteral("%1/lumora-%2").arg(fallbackBase).arg(::geteuid());
  ::mkdir(QFile::encodeName(folder).constData(), 0700);  // an existing one is checked when opened
  return folder;
}

QStringList RuntimeFolders() {
  return {RuntimeFolder(qgetenv("XDG_RUNTIME_DIR"), QStringLiteral("/tmp")),
          QDir::homePath() + QStringLiteral("/.cache/lumora")};
}

QString ConfigHome() {
  const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (config.isEmpty() || QDir::isRelativePath(config)) return QDir::homePath() + QStringLiteral("/.config");
  return config;
}

bool PrivateFolder(const QString& folder) {
  const QByteArray path = QFile::encodeName(folder);
  if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  return ::lstat(path.constData(), &st) == 0 && ownedAndClosed(st);
}

QString PrivateRuntimeFolder() {
  for (const QString& folder : RuntimeFolders())
    if (PrivateFolder(folder)) return folder;
  return QString();
}

}  // namespace lumora
