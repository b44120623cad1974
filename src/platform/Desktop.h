#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <memory>
#include <optional>

#include "platform/Hotkeys.h"
#include "platform/Screen.h"
#include "platform/Screensaver.h"

class QWidget;
struct xcb_connection_t;

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

// The compositor's socket that Qt's Wayland plugin would connect to; empty when
// there is none to connect to, so that the caller can say so instead of Qt aborting.
QString WaylandSocket(const QProcessEnvironment& env);

// Qt's own connection to the X server; null on Wayland or offscreen.
xcb_connection_t* GuiConnection();

// The services the tray program gets from the desktop. Needs the application object.
struct DesktopServices {
  std::unique_ptr<Screen> screen;
  std::unique_ptr<Hotkeys> hotkeys;
  std::unique_ptr<Screensaver> screensaver;
};
DesktopServices MakeDesktopServices(Backend backend);

// The screen of the one-shot capture; on Wayland it needs a QGuiApplication.
// Null with `error` set when the desktop cannot be reached.
std::unique_ptr<Screen> MakeCaptureScreen(Backend backend, QString& error);

// Why the last grab of `screen` failed, when the backend knows more than "failed".
QString GrabFailureReason(Screen& screen);

// How the selection overlay covers the primary output on Wayland; on X11 it
// places itself on the primary monitor.
void PlaceOverlayFullScreen(QWidget& overlay);

}  // namespace lumora
