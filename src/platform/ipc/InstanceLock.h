#pragma once

#include <QString>
#include <QStringList>

namespace lumora {

// Keeps a second tray program of the same user on the same X server from
// starting: an advisory lock on a file in a folder only this user can reach,
// released when the process ends, however it ends. The file goes with the object.
class InstanceLock {
 public:
  // `key` names the display server (ServerKey()). `folders` are where the lock may
  // live, in order of preference; empty means RuntimeFolders(). A folder that is
  // not private to the user is passed over.
  explicit InstanceLock(const QString& key, QStringList folders = {});
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // False when another instance holds the lock.
  bool acquired() const { return fd_ >= 0; }
  // True when another instance holds it (as opposed to no usable folder at all).
  bool heldElsewhere() const { return heldElsewhere_; }
  QString path() const { return path_; }
  // The folder the lock lives in; the running program's socket goes beside it.
  QString folder() const { return folder_; }
  QString key() const { return key_; }

  // One name per X server, whatever way $DISPLAY spells it: ":0", ":0.0" and
  // "unix:0" are "local-0"; "host:1.0" is "host-1". Empty when it names none,
  // also for a number no server can have.
  static QString ServerKey(const QString& display);

 private:
  QString path_;
  QString folder_;
  QString key_;
  int fd_ = -1;
  bool heldElsewhere_ = false;
};

}  // namespace lumora
