#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <sys/types.h>
#include <vector>

#include "XvfbServer.h"

namespace lumora::test {

// A private Wayland desktop for tests: headless sway showing a known picture, with
// its own session bus, pipewire and the desktop portal (wlr and gtk backends).
// sway refuses to run as root, so when the tests run as root everything runs as
// the unprivileged user kUser, created on first use. Every process of the session
// shares one process group, stopped by its id when the object goes.
class SwaySession {
 public:
  static constexpr const char* kUser = "lumora-test";

  // `background` fills the output (`width` x `height`) exactly.
  SwaySession(const QImage& background, int width = 640, int height = 480);
  ~SwaySession();
  SwaySession(const SwaySession&) = delete;
  SwaySession& operator=(const SwaySession&) = delete;

  bool running() const { return error_.isEmpty(); }
  // Why the session could not be started, with the end of its log.
  QString error() const { return error_; }

  // A folder the session's user may write, for pictures and settings files.
  QString folder() const { return home_; }
  // A copy of `program` that the session's user may run (the build tree may be
  // closed to it).
  QString install(const QString& program);

  // Runs a program to its end as the session's user, inside the session
  // (WAYLAND_DISPLAY, the session bus and SWAYSOCK set). `extraEnv` holds
  // "NAME=value" entries; an entry "NAME=" removes NAME.
  ProcessResult run(const QString& program, const QStringList& args, int timeoutMs = 60000,
                    const QStringList& extraEnv = {}) const;
  // Starts a program as the session's user in the background; it is stopped by
  // its id with stop(), or with the session. Its standard error goes to
  // folder()/client.err.
  pid_t start(const QString& program, const QStringList& args);
  void stop(pid_t pid);
  // swaymsg with the session's socket; its standard output.
  QByteArray swaymsg(const QStringList& args) const;
  // `grim` of the whole output, decoded; null when it failed.
  QImage grimPicture() const;

  // Ends the desktop portal and keeps the bus from starting it again, until
  // restartPortal().
  bool stopPortal();
  bool restartPortal();

 private:
  QStringList environment(const QStringList& extraEnv) const;
  QStringList asUser(const QString& program, const QStringList& args) const;
  bool waitForPortal() const;

  QString base_, home_, runtime_;
  QString busAddress_, waylandDisplay_, swaySocket_;
  QString error_;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
  pid_t group_ = -1;
  std::vector<pid_t> clients_;
};

}  // namespace lumora::test
