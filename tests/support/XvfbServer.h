#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <sys/types.h>
#include <vector>

class QProcess;

namespace lumora::test {

// A private X server for one test, stopped (by its process id) when the object goes.
class XvfbServer {
 public:
  // `extraArgs` go to Xvfb as they are ("-extension", "MIT-SHM" for a server
  // without shared memory, for example).
  XvfbServer(int width = 1024, int height = 768, const QStringList& extraArgs = {});
  // TigerVNC's Xvnc instead: a server whose size and monitors `xrandr` can change.
  enum class Kind { Xvfb, Xvnc };
  XvfbServer(Kind kind, int width, int height, const QStringList& extraArgs = {});
  static std::unique_ptr<XvfbServer> Xvnc(int width, int height);
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  bool running() const { return pid_ > 0 && !display_.isEmpty(); }
  // ":N"
  QString display() const { return display_; }
  // Starts a helper program on this display (trayer, for example); stopped with the server.
  // `extraEnv` entries are NAME=value.
  pid_t startClient(const QString& program, const QStringList& args, const QStringList& extraEnv = {});
  // Stops one of them earlier.
  void stopClient(pid_t pid);
  // Ends the server at once (SIGKILL), as a server that dies under its clients.
  void crash();

 private:
  pid_t pid_ = -1;
  QString display_;
  std::vector<pid_t> clients_;
};

// Runs a program to its end with DISPLAY set; returns its exit code (-1 when it
// could not run) and collects its standard output and error.
struct ProcessResult {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};
ProcessResult RunProcess(const QString& program, const QStringList& args, const QString& display,
                         int timeoutMs = 60000, const QStringList& extraEnv = {});
// The same for a process whose environment the caller has set up.
ProcessResult RunToEnd(QProcess& process, const QString& program, const QStringList& args, int timeoutMs);

}  // namespace lumora::test

#include <QImage>
namespace lumora::test {
// Makes `picture` the root window's background on `display`, so that a grab of
// the screen shows it (placed at the top-left corner).
bool SetRootPicture(const QString& display, const QImage& picture);
}  // namespace lumora::test
