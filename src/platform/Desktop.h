#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <memory>
#include <optional>

#include "platform/CaptureNotice.h"
#include "platform/ClipboardManager.h"
#include "platform/DesktopWindows.h"
#include "platform/Hotkeys.h"
#include "platform/NotificationArea.h"
#include "platform/Screen.h"
#include "platform/Screensaver.h"

namespace lumora {

// How the program reaches the desktop, chosen once at start.
enum class Backend { X11, Wayland };

struct BackendChoice {
  std::optional<Backend> backend;
  QString error;  // why there is none: a LUMORA_BACKEND that names nothing we know
};

// LUMORA_BACKEND (x11 or wayland) decides when set; otherwise a Wayland session
// (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE=wayland) means Wayland, anything else X11.
BackendChoice ChooseBackend(const QProcessEnvironment& env);

// Qt's platform plugin for the backend.
QByteArray QtPlatformFor(Backend backend);

// Qt's platform plugin for a run. A Wayland session whose Qt lacks the Wayland
// plugin (package qt6-wayland) runs Qt on X11 through Xwayland where there is an X
// server; the screen still comes from the desktop portal. Without either, `error`
// says so in one line instead of Qt aborting.
struct QtPlatformChoice {
  QByteArray plugin;
  QString note;   // what the run does differently, for standard error
  QString error;  // why nothing can run
};
QtPlatformChoice ChooseQtPlatform(Backend backend, bool waylandPlugin, bool xServer);

// Whether Qt's Wayland platform plugin is installed where Qt looks for it.
bool QtWaylandPluginInstalled(const QProcessEnvironment& env);

// The compositor's socket that Qt's Wayland plugin would connect to; empty when
// there is none to connect to, so that the caller can say so instead of Qt aborting.
QString WaylandSocket(const QProcessEnvironment& env);

// What the environment may change about a run besides the backend, read once at
// start. The tests use these to reach the roads that other machines take.
struct RunOptions {
  // LUMORA_NO_SHM: read the X screen without shared memory, as from a remote server.
  bool sharedMemory = true;
  // LUMORA_NO_O_TMPFILE: write files through hidden temporary names, as on
  // filesystems without unnamed files.
  bool unnamedFiles = true;
  // LUMORA_TIMER_PERIOD_MS: the interval timer's tick, for long unattended runs.
  int timerTickMs = 1000;

  static RunOptions FromEnvironment(const QProcessEnvironment& env);
};

// The services the tray program gets from the desktop.
struct DesktopServices {
  std::unique_ptr<Screen> screen;
  std::unique_ptr<Hotkeys> hotkeys;
  std::unique_ptr<Screensaver> screensaver;
  std::unique_ptr<DesktopWindows> windows;
  std::unique_ptr<NotificationArea> tray;
  // Where the desktop confirms captures itself; null where the badge window does.
  std::unique_ptr<CaptureNotice> notice;
};

// The one loader: the only place that knows which backend runs. It reads the
// backend choice and the run options from the environment once and builds every
// backend the program uses; everything above it sees only the seams.
class Desktop {
 public:
  // Nothing, with `error` set, when LUMORA_BACKEND names no backend.
  static std::optional<Desktop> FromEnvironment(const QProcessEnvironment& env, QString& error);
  // The clipboard holder keeps pictures on the X11 clipboard, whatever the
  // session; nothing, with the reason in German for its launcher, when no X
  // server can be reached. Qt is told to speak X11.
  static std::optional<Desktop> ForClipboardHolder(const QProcessEnvironment& env, QString& error);

  const RunOptions& options() const { return options_; }

  // Why `what` cannot run here, in one line: no X display, no compositor to
  // connect to. Empty when it can.
  QString unreachable(const char* what) const;
  // Tells Qt which platform plugin to load, unless the user chose one: Qt must
  // speak to the same desktop as the grab. The choice's note is a line for standard
  // error when it differs from the session's (no Wayland plugin); its error says
  // why nothing can run.
  QtPlatformChoice chooseQtPlatform() const;
  // The desktop a running Lumora is found by: the compositor in a Wayland
  // session, otherwise the X server. Empty when there is no display at all.
  QString sessionKey() const;

  // Whether the one-shot capture's screen needs the Qt GUI application before it
  // is made (the portal's answer arrives through Qt's event loop, and the
  // outputs' places come from Qt's view of the compositor).
  bool captureNeedsApplication() const;
  // The screen of a one-shot capture; null with `error` set when the desktop
  // cannot be reached.
  std::unique_ptr<Screen> captureScreen(QString& error) const;
  // The frame of the window that has the focus, for a one-shot capture; nothing
  // where none has it or the desktop does not say.
  std::optional<ScreenRect> activeWindowFrame() const;
  // The tray program's services; needs the application object.
  DesktopServices trayServices() const;
  // The clipboard manager beside the holder; needs the application object.
  std::unique_ptr<ClipboardManager> clipboardManager() const;

 private:
  Desktop(Backend backend, RunOptions options, QProcessEnvironment env)
      : backend_(backend), options_(options), env_(std::move(env)) {}

  Backend backend_;
  RunOptions options_;
  QProcessEnvironment env_;
};

}  // namespace lumora
