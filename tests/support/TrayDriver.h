#pragma once

#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include "XvfbServer.h"

namespace lumora::test {

// Polls until `done` holds; false after `timeoutMs`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 15000);

// The tray program as a user meets it: a private Xvfb with trayer as the tray
// host, a store of its own in a temporary folder, keys and clicks from xdotool.
// Every process it starts is stopped by its id when it goes.
class TrayDriver {
 public:
  struct Options {
    bool trayHost = true;                           // trayer from the start
    XvfbServer::Kind server = XvfbServer::Kind::Xvfb;  // Xvnc for a server that resizes
  };
  explicit TrayDriver(int width = 1024, int height = 768);
  TrayDriver(int width, int height, Options options);
  ~TrayDriver();
  TrayDriver(const TrayDriver&) = delete;
  TrayDriver& operator=(const TrayDriver&) = delete;

  // A store as a first run leaves it, with the shots going to `folder`.
  bool seedStore();
  // Starts the tray program; `extraEnv` entries are NAME=value.
  // With `args` it runs lumora with them instead (a one-shot capture, say).
  QProcess& start(const QStringList& extraEnv = {}, const QStringList& args = {});
  // Waits for the tray icon: the program is ready for keys.
  bool waitReady();
  // Starts or stops the tray host (trayer).
  void startTrayHost();
  void stopTrayHost();
  // "Beenden" from the menu; true when the program ended by itself.
  bool quit(QProcess& lumora);

  QString xdo(const QStringList& args);
  bool visible(const QString& title);
  bool iconShown();
  // Opens the tray menu and walks it with these keys.
  void menu(const QStringList& keys);
  void drag(QPoint from, QPoint to);
  // Waits for a capture file in `folder`.
  bool shot(const QString& name);

  XvfbServer server;
  QTemporaryDir dir;
  QString registry;
  QString folder;

 private:
  std::vector<std::unique_ptr<QProcess>> programs_;
  pid_t trayHost_ = -1;
};

// A number as the store writes it: dword:0000001a.
QString Dword(int value);

}  // namespace lumora::test
