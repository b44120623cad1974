#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <cstddef>

namespace lumora {

// Gives the next name to try when the one before was taken by someone else.
class NameSource {
 public:
  virtual ~NameSource() = default;
  // An empty name when there is none left.
  virtual QString nextName() = 0;
};

// Where a new file goes. Without `names` the file replaces `path` as a whole; with
// `names` it never replaces anything: it takes `path` when that name is free,
// otherwise the first free name `names` gives. `published` is the name taken.
struct PublishTarget {
  QString path;
  NameSource* names = nullptr;
  QString published;
  // False takes the road of filesystems without unnamed files: a hidden
  // temporary name, as the tests and the benchmark need it on any filesystem.
  bool unnamedFiles = true;
};

// Writes a file so that nobody ever sees it half-written: the bytes go to an
// unnamed file in the target folder (O_TMPFILE), which gets its name only when
// every write succeeded. Where the filesystem has no unnamed files, a hidden
// temporary name stands in; the one-shot command line removes it when a signal
// ends the process (see StrayFileCleanup). A failed or abandoned write leaves the
// old file as it was and nothing behind.
class AtomicFile {
 public:
  enum class Durability { Normal, Synced };

  // Replaces `path`.
  explicit AtomicFile(const QString& path, Durability durability = Durability::Normal, bool unnamedFiles = true);
  // Publishes into `target`; `target` must outlive the object.
  explicit AtomicFile(PublishTarget& target, Durability durability = Durability::Normal);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the file's storage. False when the folder is missing or not writable,
  // when the target is a folder, or when an existing target may not be written
  // by this user (replacing it would go around its write protection).
  bool open();
  // False once any write failed; later writes are ignored.
  bool write(const void* data, size_t size);
  // Gives the file its name; false when anything failed.
  bool commit();
  // Drops what was written.
  void cancel();

  // The name the file got at commit().
  QString publishedPath() const { return target_.published; }

  // What a process that died mid-write leaves where the filesystem has no
  // unnamed files: a hidden temporary name that nothing else would remove.
  // Removes from `folder` the files of that name pattern (".NAME.XXXXXX") whose
  // NAME ends in one of `endings`, that belong to this user and that nobody has
  // written to for `age`. Returns how many went.
  static int SweepStale(const QString& folder, const QStringList& endings,
                        std::chrono::seconds age = std::chrono::hours(1));

 private:
  bool openNamedTemp();
  bool toNamedTemp();
  bool linkUnnamed(const QByteArray& name);
  bool publishNew();
  bool publishReplacing();
  void dropTemp();

  PublishTarget own_;       // the target of a plain replace
  PublishTarget& target_;
  QByteArray folder_;  // the target's folder, encoded
  QByteArray temp_;    // the hidden name while there is one
  Durability durability_;
  int fd_ = -1;
  bool unnamed_ = false;
  bool failed_ = false;
};

// The one-shot command line ends on SIGINT, SIGTERM and SIGHUP without running
// destructors; a hidden temporary name that exists at that moment is removed by
// the signal handler installed here before the process dies of the signal.
namespace StrayFileCleanup {
void installSignalHandlers();
}

}  // namespace lumora
