#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <sys/types.h>

#include "platform/fs/RuntimeFolder.h"

namespace lumora {

// Keeps to one clipboard holder per user and display: an advisory lock on a file
// that names the holder's process id. Taking the lock ends the holder that has
// it, since a new picture replaces the old one anyway. The file goes when the
// lock is released; a holder that dies leaves at most a stale file, whose lock
// the system has already let go.
class HolderLock {
 public:
  // `isHolder` confirms that a process id read from the file still names a holder,
  // so that an id the system has handed on is never signalled.
  HolderLock(const QString& folder, const QString& display, std::function<bool(pid_t)> isHolder,
             std::chrono::milliseconds patience = std::chrono::seconds(4));
  ~HolderLock();
  HolderLock(const HolderLock&) = delete;
  HolderLock& operator=(const HolderLock&) = delete;

  bool acquired() const { return fd_ >= 0; }
  // Why the lock could not be taken.
  QString error() const { return error_; }
  QString path() const { return path_; }

  // The file name for a display: only letters, digits, '.', '-' and '_' survive.
  static QString FileName(const QString& display);

 private:
  bool openFolder(const QString& folder);
  void acquire(const std::function<bool(pid_t)>& isHolder, std::chrono::milliseconds patience);

  QString path_;
  QByteArray name_;
  QString error_;
  int dirFd_ = -1;
  int fd_ = -1;
};

}  // namespace lumora
