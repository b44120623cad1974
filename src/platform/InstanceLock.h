#pragma once

#include <QString>

namespace lumora {

// Keeps a second tray program of the same user on the same display from starting:
// an advisory lock on a file in the user's runtime folder, released when the
// process ends, however it ends.
class InstanceLock {
 public:
  // `display` names the X display ($DISPLAY).
  explicit InstanceLock(const QString& display);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // False when another instance holds the lock.
  bool acquired() const { return fd_ >= 0; }
  QString path() const { return path_; }

 private:
  QString path_;
  int fd_ = -1;
};

}  // namespace lumora
