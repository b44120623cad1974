#pragma once

#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>
#include <sys/types.h>
#include <vector>

#include "XvfbServer.h"

namespace lumora::test {

// Where the full-screen overlay draws the Toolbox on desktops that place windows
// themselves: its frame, caption and client, from the output's corner.
inline const QRect kToolboxOnOverlay(15, 15, 110 + 2, 284 + 2 + 18);

// What every private Wayland desktop of the tests shares: its own session bus and
// folders, run by an unprivileged user when the tests run as root (compositors
// refuse root, and files of other users must be other users' files). The
// desktop itself comes from a session script of the subclass. Every process of
// the session shares one process group, stopped by its id when the object goes.
class WaylandSession {
 public:
  static constexpr const char* kUser = "lumora-test";

  virtual ~WaylandSession();
  WaylandSession(const WaylandSession&) = delete;
  WaylandSession& operator=(const WaylandSession&) = delete;

  bool running() const { return error_.isEmpty(); }
  // Why the session could not be started, with the end of its log.
  QString error() const { return error_; }

  // A folder the session's user may write, for pictures and settings files.
  QString folder() const { return home_; }
  // A copy of `program` that the session's user may run (the build tree may be
  // closed to it).
  QString install(const QString& program);

  // Runs a program to its end as the session's user, inside the session
  // (WAYLAND_DISPLAY, the session bus and what the script names set).
  // `extraEnv` holds "NAME=value" entries; an entry "NAME=" removes NAME.
  ProcessResult run(const QString& program, const QStringList& args, int timeoutMs = 60000,
                    const QStringList& extraEnv = {}) const;
  // Starts a program as the session's user in the background; it is stopped by
  // its id with stop(), or with the session. Its standard error goes to
  // folder()/client.err.
  pid_t start(const QString& program, const QStringList& args);
  void stop(pid_t pid);

  // Ends the desktop portal and keeps the bus from starting it again, until
  // restartPortal().
  bool stopPortal();
  bool restartPortal();

 protected:
  // `desktop` is XDG_CURRENT_DESKTOP.
  explicit WaylandSession(const QString& desktop);
  // Writes a file of the session, owned by its user.
  bool write(const QString& name, const QByteArray& data, int mode = 0644);
  // Runs `script` (in the session's folder, arguments: that folder, the test's
  // process id and `args`) under dbus-run-session as the session's user, and waits up to
  // `waitMs` for it to write "NAME=value" lines to $1/ready, which join the
  // environment of every program run in the session. False with error() set.
  bool launch(const QByteArray& script, int waitMs, const QStringList& args = {});
  bool waitForPortal() const;
  // The end of one of the session's logs, for error messages.
  QString log(const QString& name) const;
  void fail(const QString& why) { error_ = why; }
  QString base() const { return base_; }

 private:
  QStringList environment(const QStringList& extraEnv) const;
  QStringList asUser(const QString& program, const QStringList& args) const;

  QString desktop_, base_, home_, runtime_;
  QStringList named_;
  QString error_;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
  pid_t group_ = -1;
  std::vector<pid_t> clients_;
};

}  // namespace lumora::test
