#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "platform/ipc/InstanceLock.h"

namespace lumora {

// The running tray program as other starts of lumora reach it: the single-instance
// lock and, beside it in the user's private runtime folder, a local socket that
// only this user may use. A command is one short line ("show", "select", "shot",
// "quit"); the answer is one line, "ok" once the command was taken.
class RunningInstance : public QObject {
  Q_OBJECT
 public:
  // `key` names the display server (SessionKey()).
  explicit RunningInstance(const QString& key);
  ~RunningInstance() override;

  bool acquired() const { return lock_.acquired(); }
  bool heldElsewhere() const { return lock_.heldElsewhere(); }

  // What a command does, or nothing for a command the program does not know.
  using Handler = std::function<std::function<void()>(const QByteArray& command)>;
  // Starts taking commands. False when no socket could be made.
  bool listen(Handler onCommand);
  QString socketPath() const { return socketPath_; }

  enum class SendResult { Taken, NotRunning, Refused };
  // Hands `command` to the program holding the lock for `key`.
  static SendResult Send(const QString& key, const QByteArray& command, int timeoutMs = 5000);
  // Whether a program listens for `key`; for waiting until one has ended.
  static bool Listening(const QString& key);

  // The display server the program works with: on Wayland the compositor
  // ("wayland-NAME" from $WAYLAND_DISPLAY, wayland-0 when unset), otherwise $DISPLAY's
  // X server; without X, the compositor. Empty when there is neither.
  static QString SessionKey(bool wayland = false);
  static QString SocketName(const QString& key) { return QStringLiteral("lumora-%1.sock").arg(key); }

 private:
  void accept();

  InstanceLock lock_;
  QString socketPath_;
  int listenFd_ = -1;
  Handler onCommand_;
};

}  // namespace lumora
