#include "settings/store/RegFileRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/fs/AtomicFile.h"
#include "platform/fs/RuntimeFolder.h"

namespace lumora {

namespace {

// The file holds the whole machine hive; our callers name keys below it.
QString fullPath(const QString& path) {
  return QStringLiteral("HKEY_LOCAL_MACHINE\\") + TrimKeyPath(path).toString();
}

class FileKey : public RegistryKey {
 public:
  FileKey(const RegFileRegistry& registry, RegFileRegistry::Snapshot before, RegFile file, QString key, bool created)
      : registry_(registry), before_(std::move(before)), file_(std::move(file)), key_(std::move(key)), dirty_(created) {}

  std::optional<RegValue> Value(const QString& name) const override {
    const RegFile::Section* s = file_.findSection(key_);
    const RegValue* v = s ? s->find(name) : nullptr;
    if (!v) return std::nullopt;
    return *v;
  }

  bool SetValue(const QString& name, const RegValue& value) override {
    file_.createSection(key_).set(name, value);
    dirty_ = true;
    return true;
  }

  bool Close() override {
    if (!dirty_) return true;
    dirty_ = false;
    return registry_.store(before_, file_);
  }

 private:
  const RegFileRegistry& registry_;
  RegFileRegistry::Snapshot before_;
  RegFile file_;
  QString key_;
  bool dirty_;  // a created key is a change of its own
};

}  // namespace

QString RegFileRegistry::DefaultPath() {
  const QString explicitPath = qEnvironmentVariable("LUMORA_REGISTRY");
  if (!explicitPath.isEmpty()) return explicitPath;
  return ConfigHome() + QStringLiteral("/lumora/registry.reg");
}

RegFileRegistry::Snapshot RegFileRegistry::load() const {
  Snapshot snap;
  // Without O_NONBLOCK a pipe under the name would keep the program waiting for
  // a writer forever.
  const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT && errno != ENOTDIR) snap.state = State::Damaged;
    return snap;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    snap.state = State::NotAFile;
    ::close(fd);
    return snap;
  }
  snap.state = State::Damaged;
  bool readWhole = true;
  char buffer[1 << 16];
  while (snap.bytes.size() <= RegFile::kMaxSize) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) readWhole = false;
    if (n <= 0) break;
    snap.bytes.append(buffer, qsizetype(n));
  }
  ::close(fd);
  if (!readWhole) return snap;
  std::optional<RegFile> parsed = RegFile::Parse(snap.bytes);
  if (!parsed) return snap;
  snap.state = State::Readable;
  snap.file = std::move(*parsed);
  return snap;
}

bool RegFileRegistry::keepBroken(const Snapshot& before) const {
  const QByteArray from = QFile::encodeName(path_);
  const QByteArray to = QFile::encodeName(brokenPath());
  const QByteArray temp = to + ".tmp." + QByteArray::number(qint64(::getpid()));
  // A second name for the very file keeps every byte, also of a file we could not
  // read or that was too large to read whole. Through a link it is the file the
  // link points to that is kept, not a second link to it, whose target the new
  // settings would then replace.
  ::unlink(temp.constData());
  if (::linkat(AT_FDCWD, from.constData(), AT_FDCWD, temp.constData(), AT_SYMLINK_FOLLOW) == 0) {
    if (::rename(temp.constData(), to.constData()) == 0) return true;
    ::unlink(temp.constData());
  }
  if (!QFileInfo(path_).isFile() || before.bytes.size() > RegFile::kMaxSize) return false;
  return writeBroken(before.bytes);
}

bool RegFileRegistry::writeBroken(const QByteArray& bytes) const {
  AtomicFile copy(brokenPath());
  return copy.open() && copy.write(bytes.constData(), size_t(bytes.size())) && copy.commit();
}

bool RegFileRegistry::KeepDamagedCopy() {
  const Snapshot now = load();
  if (now.state == State::Missing || now.state == State::NotAFile) return true;
  if (now.bytes != lastWritten_) return keepBroken(now);
  // The file is what this object wrote, but that write carried on from the
  // user's own file (the hotkey letters are written before the other settings
  // are read): the user's bytes as they were are what must be kept.
  return replacedBytes_.isEmpty() || writeBroken(replacedBytes_);
}

bool RegFileRegistry::store(const Snapshot& before, const RegFile& file) const {
  // Something that is not a file is never replaced by one.
  if (before.state == State::NotAFile) return false;
  if (before.state == State::Damaged && !keepBroken(before)) return false;
  if (file.isEmpty()) {
    if (before.state == State::Missing) return true;
    return ::unlink(QFile::encodeName(path_).constData()) == 0 || errno == ENOENT;
  }
  // A store that is a link (kept with the user's other dotfiles) stays a link: the
  // new file replaces the one it points to.
  const QFileInfo info(path_);
  const QString target = info.isSymLink() ? info.symLinkTarget() : path_;
  QDir().mkpath(QFileInfo(target).absolutePath());
  const QByteArray bytes = file.serialize();
  // Never a file that the next start could not read back.
  if (!RegFile::Parse(bytes)) return false;
  AtomicFile out(target, AtomicFile::Durability::Synced);
  if (!out.open() || !out.write(bytes.constData(), size_t(bytes.size())) || !out.commit()) return false;
  if (before.state == State::Readable && before.bytes != lastWritten_) replacedBytes_ = before.bytes;
  lastWritten_ = bytes;
  return true;
}

QString RegFileRegistry::UnusablePlace() { return load().state == State::NotAFile ? path_ : QString(); }

bool RegFileRegistry::KeyExists(const QString& path) {
  const Snapshot snap = load();
  // A file we cannot read may hold the key; callers then meet a read failure and
  // take the damaged-key road rather than greeting a first-time user.
  if (snap.state == State::Damaged || snap.state == State::NotAFile) return true;
  return snap.file.hasKey(fullPath(path));
}

std::unique_ptr<RegistryKey> RegFileRegistry::OpenKey(const QString& path) {
  Snapshot snap = load();
  if (snap.state != State::Readable || !snap.file.hasKey(fullPath(path))) return nullptr;
  RegFile file = snap.file;
  return std::make_unique<FileKey>(*this, std::move(snap), std::move(file), fullPath(path), false);
}

std::unique_ptr<RegistryKey> RegFileRegistry::CreateKey(const QString& path) {
  Snapshot snap = load();
  // A damaged file starts over empty; store() keeps the old one beside it.
  RegFile file = snap.file;
  const bool created = !file.findSection(fullPath(path));
  file.createSection(fullPath(path));
  return std::make_unique<FileKey>(*this, std::move(snap), std::move(file), fullPath(path), created);
}

bool RegFileRegistry::DeleteKey(const QString& path) {
  Snapshot snap = load();
  if (snap.state == State::Missing) return false;
  RegFile file = snap.file;
  if (snap.state == State::Readable && !file.removeKey(fullPath(path))) return false;
  return store(snap, file);
}

}  // namespace lumora
