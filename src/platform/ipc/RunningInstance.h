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
// "quit"); the answer is one line: "ok" once the command was done, "failed" when
// it could not do its work, "busy" when too many commands wait, "unknown" for a
// command the program does not know. Both sides make sure the other end is the
// same user: the program checks every caller, the caller checks the program.
class RunningInstance : public QObject {
  Q_OBJECT
 public:
  // `key` names the display server (SessionKey()).
  explicit RunningInstance(const QString& key);
  ~RunningInstance() override;

  bool acquired() const { return lock_.acquired(); }
  bool heldElsewhere() const { return lock_.heldElsewhere(); }

  enum class Outcome { Done, Failed, Busy };
  // How a command answers its caller: `done` sends the answer (once); `waiting`
  // tells whether the caller is still there to hear it.
  struct Reply {
    std::function<void(Outcome)> done;
    std::function<bool()> waiting;
  };
  // What a command does; it runs from the event loop and answers through its
  // Reply, at once or once its work is done.
  using Action = std::function<void(const Reply&)>;
  // The action for a command, or nothing for a command the program does not know.
  using Handler = std::function<Action(const QByteArray& command)>;
  // Starts taking commands. False when no socket could be made.
  bool listen(Handler onCommand);
  QString socketPath() const { return socketPath_; }

  enum class SendResult { Taken, Failed, Busy, NotRunning, Refused };
  // Hands `command` to the program holding the lock for `key` and waits up to
  // `timeoutMs` for its answer.
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
