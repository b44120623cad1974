#include "platform/fs/AtomicFile.h"

#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/fs/PathBytes.h"

namespace lumora {

namespace {

// The hidden name that exists right now, for the signal handler. A handler can
// reach nothing but static storage, so this is the one place that holds it; the
// program writes one file at a time.
char gStrayName[PATH_MAX];                // NOLINT: read by the signal handler only
volatile sig_atomic_t gStrayArmed = 0;  // NOLINT

// Keeps the ending signals out while a hidden name comes or goes together with
// the note the handler reads, so that the two never disagree.
class HoldSignals {
 public:
  HoldSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, sig);
    ::pthread_sigmask(SIG_BLOCK, &set, &old_);
  }
  ~HoldSignals() { ::pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
  HoldSignals(const HoldSignals&) = delete;
  HoldSignals& operator=(const HoldSignals&) = delete;

 private:
  sigset_t old_;
};

void armStray(const QByteArray& name) {
  gStrayArmed = 0;
  if (size_t(name.size()) >= sizeof gStrayName) return;
  std::memcpy(gStrayName, name.constData(), size_t(name.size()) + 1);
  gStrayArmed = 1;
}

void disarmStray() { gStrayArmed = 0; }

void removeStrayAndDie(int sig) {
  if (gStrayArmed) ::unlink(gStrayName);
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

// The longest file name a folder entry may have.
constexpr int kNameMax = NAME_MAX;

// A hidden name beside `base` that stays within kNameMax bytes: "." + base cut
// short at a character boundary + "." + six random characters.
QByteArray hiddenName(const QByteArray& base, const QByteArray& suffix) {
  int keep = std::min<int>(int(base.size()), kNameMax - 2 - int(suffix.size()));
  while (keep > 0 && keep < base.size() && (uint8_t(base[keep]) & 0xC0) == 0x80) --keep;
  return "." + base.left(keep) + "." + suffix;
}

// Whether `name` is one hiddenName() makes from a name ending in one of `endings`.
bool isHiddenName(const QByteArray& name, const QStringList& endings) {
  constexpr int kSuffix = 6;
  if (name.size() < 2 + kSuffix + 1 || name[0] != '.' || name[name.size() - kSuffix - 1] != '.') return false;
  for (char c : name.right(kSuffix))
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  const QByteArray base = name.mid(1, name.size() - kSuffix - 2);
  for (const QString& ending : endings)
    if (!ending.isEmpty() && base.endsWith(EncodePath(ending))) return true;
  return false;
}

QByteArray randomSuffix() {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device rd;
  QByteArray s(6, 'x');
  for (char& c : s) c = kChars[rd() % (sizeof kChars - 1)];
  return s;
}

bool unnamedFilesUnsupported(int err) { return err == EOPNOTSUPP || err == EISDIR || err == EINVAL; }

QByteArray procPath(int fd) { return "/proc/self/fd/" + QByteArray::number(fd); }

}  // namespace

namespace StrayFileCleanup {
void installSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = removeStrayAndDie;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
}
}  // namespace StrayFileCleanup

int AtomicFile::SweepStale(const QString& folder, const QStringList& endings, std::chrono::seconds age) {
  if (folder.isEmpty()) return 0;
  const int dir = ::open(EncodePath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return 0;
  DIR* entries = ::fdopendir(dir);
  if (!entries) {
    ::close(dir);
    return 0;
  }
  const time_t before = ::time(nullptr) - time_t(age.count());
  int removed = 0;
  while (const dirent* e = ::readdir(entries)) {
    const QByteArray name(e->d_name);
    if (!isHiddenName(name, endings)) continue;
    struct stat st {};
    // Only a plain file of this user's that has lain untouched for a while: a
    // capture running now in another process keeps writing to its own.
    if (::fstatat(dir, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
        st.st_uid != ::geteuid() || st.st_mtime > before)
      continue;
    if (::unlinkat(dir, name.constData(), 0) == 0) ++removed;
  }
  ::closedir(entries);
  return removed;
}

AtomicFile::AtomicFile(const QString& path, Durability durability, bool unnamedFiles)
    : own_{path, nullptr, {}, unnamedFiles}, target_(own_), durability_(durability) {}

AtomicFile::AtomicFile(PublishTarget& target, Durability durability)
    : target_(target), durability_(durability) {}

AtomicFile::~AtomicFile() { cancel(); }

bool AtomicFile::open() {
  cancel();
  failed_ = false;
  target_.published.clear();
  if (target_.path.isEmpty()) return false;
  const QByteArray path = EncodePath(target_.path);
  folder_ = EncodePath(QFileInfo(target_.path).absolutePath());

  mode_t mode = 0666;
  if (!target_.names) {
    struct stat old {};
    if (::lstat(path.constData(), &old) == 0) {
      if (S_ISDIR(old.st_mode)) return false;
      // A file its owner protected against writing is not swapped away behind
      // that protection, although the folder would allow it.
      if (::faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) != 0 && (errno == EACCES || errno == EROFS))
        return false;
      if (S_ISREG(old.st_mode)) mode = old.st_mode & 07777;
    }
  }

  if (target_.unnamedFiles) {
    fd_ = ::open(folder_.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd_ >= 0) {
      unnamed_ = true;
      if (mode != 0666) ::fchmod(fd_, mode);
      return true;
    }
    if (!unnamedFilesUnsupported(errno)) return false;
  }
  if (!openNamedTemp()) return false;
  if (mode != 0666) {
    ::fchmod(fd_, mode);
  } else {
    // mkstemp creates the file 0600; a new picture gets the usual mode.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
  }
  return true;
}

bool AtomicFile::openNamedTemp() {
  QByteArray pattern =
      folder_ + "/" + hiddenName(EncodePath(QFileInfo(target_.path).fileName()), QByteArrayLiteral("XXXXXX"));
  HoldSignals hold;
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) return false;
  fd_ = fd;
  unnamed_ = false;
  temp_ = pattern;
  armStray(temp_);
  return true;
}

// The filesystem keeps unnamed files but cannot link them into a folder (no /proc,
// no hard links): the bytes move to a hidden name once.
bool AtomicFile::toNamedTemp() {
  const int from = fd_;
  fd_ = -1;
  bool ok = openNamedTemp();
  char buffer[1 << 16];
  off_t offset = 0;
  while (ok) {
    const ssize_t n = ::pread(from, buffer, sizeof buffer, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    offset += n;
    ok = write(buffer, size_t(n));
  }
  ::close(from);
  if (!ok) dropTemp();
  return ok;
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

bool AtomicFile::linkUnnamed(const QByteArray& name) {
  return ::linkat(AT_FDCWD, procPath(fd_).constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0;
}

bool AtomicFile::publishNew() {
  HoldSignals hold;
  QString candidate = target_.path;
  while (!candidate.isEmpty()) {
    const QByteArray name = EncodePath(candidate);
    const bool linked = unnamed_ ? linkUnnamed(name) : ::link(temp_.constData(), name.constData()) == 0;
    if (linked) {
      target_.published = candidate;
      dropTemp();
      return true;
    }
    if (errno == EINTR) continue;
    if (errno == EEXIST) {
      candidate = target_.names->nextName();
      continue;
    }
    if (unnamed_) {
      if (!toNamedTemp()) return false;
      continue;
    }
    // No hard links here (FAT, some network filesystems): a rename that refuses
    // to replace, or where even that is missing, a look before the rename.
    if (::renameat2(AT_FDCWD, temp_.constData(), AT_FDCWD, name.constData(), RENAME_NOREPLACE) == 0) {
      target_.published = candidate;
      disarmStray();
      temp_.clear();
      return true;
    }
    if (errno == EEXIST) {
      candidate = target_.names->nextName();
      continue;
    }
    if (errno != EINVAL && errno != ENOSYS) return false;
    struct stat st {};
    if (::lstat(name.constData(), &st) == 0) {
      candidate = target_.names->nextName();
      continue;
    }
    if (::rename(temp_.constData(), name.constData()) != 0) return false;
    target_.published = candidate;
    disarmStray();
    temp_.clear();
    return true;
  }
  return false;
}

bool AtomicFile::publishReplacing() {
  const QByteArray base = EncodePath(QFileInfo(target_.path).fileName());
  // An unnamed file cannot be renamed over a name: it gets a hidden one first,
  // for the moment between the link and the rename.
  HoldSignals hold;
  for (int attempt = 0; unnamed_; ++attempt) {
    const QByteArray temp = folder_ + "/" + hiddenName(base, randomSuffix());
    armStray(temp);
    if (linkUnnamed(temp)) {
      temp_ = temp;
      break;
    }
    disarmStray();
    if (errno == EEXIST && attempt < 100) continue;
    if (!toNamedTemp()) return false;
  }
  if (::rename(temp_.constData(), EncodePath(target_.path).constData()) != 0) return false;
  disarmStray();
  temp_.clear();
  target_.published = target_.path;
  return true;
}

bool AtomicFile::commit() {
  if (fd_ < 0) return false;
  bool ok = !failed_;
  if (ok && durability_ == Durability::Synced) ok = ::fsync(fd_) == 0;
  if (ok) ok = target_.names ? publishNew() : publishReplacing();
  if (fd_ >= 0 && ::close(fd_) != 0) ok = false;
  fd_ = -1;
  if (!ok) target_.published.clear();
  dropTemp();
  return ok;
}

void AtomicFile::dropTemp() {
  if (temp_.isEmpty()) return;
  HoldSignals hold;
  ::unlink(temp_.constData());
  temp_.clear();
  disarmStray();
}

void AtomicFile::cancel() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  dropTemp();
}

}  // namespace lumora
