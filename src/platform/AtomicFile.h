#pragma once

#include <QString>
#include <cstddef>

namespace lumora {

// Replaces a file as a whole: the bytes go to a temporary file in the same folder,
// which is renamed over the target only when every write succeeded. A failed or
// abandoned write leaves the old file as it was and no temporary file behind.
class AtomicFile {
 public:
  enum class Durability { Normal, Synced };

  explicit AtomicFile(const QString& path, Durability durability = Durability::Normal);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file; false when the folder is missing or not writable.
  bool open();
  // False once any write failed; later writes are ignored.
  bool write(const void* data, size_t size);
  // Renames the temporary file over the target; false when anything failed.
  bool commit();
  // Drops the temporary file.
  void cancel();

 private:
  QString path_;
  QString tempPath_;
  Durability durability_;
  int fd_ = -1;
  bool failed_ = false;
};

}  // namespace lumora
