#include "platform/Desktop.h"

#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "platform/wayland/CompositorHotkeys.h"
#include "platform/wayland/DBusScreensaver.h"
#include "platform/wayland/PortalScreen.h"
#include "platform/x11/XcbHotkeys.h"
#include "platform/x11/XcbScreen.h"
#include "platform/x11/XcbScreensaver.h"

namespace lumora {

xcb_connection_t* GuiConnection() {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

namespace {

// The desktop as Qt's Wayland plugin knows it from the compositor's outputs.
PortalScreen::Desktop qtDesktop() {
  PortalScreen::Desktop d;
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    d.primary = screen->geometry();
    d.all = screen->virtualGeometry();
    d.scale = screen->devicePixelRatio();
  }
  return d;
}

}  // namespace

BackendChoice ChooseBackend(const QProcessEnvironment& env) {
  const QString forced = env.value(QStringLiteral("LUMORA_BACKEND")).trimmed().toLower();
  if (forced == QLatin1String("x11")) return {Backend::X11, {}};
  if (forced == QLatin1String("wayland")) return {Backend::Wayland, {}};
  if (!forced.isEmpty())
    return {std::nullopt, QStringLiteral("LUMORA_BACKEND must be x11 or wayland, not \"%1\"")
                              .arg(env.value(QStringLiteral("LUMORA_BACKEND")))};
  if (!env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty()) return {Backend::Wayland, {}};
  if (env.value(QStringLiteral("XDG_SESSION_TYPE")).compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0)
    return {Backend::Wayland, {}};
  return {Backend::X11, {}};
}

QByteArray QtPlatformFor(Backend backend) { return backend == Backend::Wayland ? "wayland" : "xcb"; }

QString WaylandSocket(const QProcessEnvironment& env) {
  QString name = env.value(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
  if (!QDir::isAbsolutePath(name)) {
    const QString runtime = env.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (runtime.isEmpty()) return QString();
    name = QDir(runtime).filePath(name);
  }
  const QFileInfo socket(name);
  return socket.exists() && !socket.isDir() && !socket.isFile() ? name : QString();
}

DesktopServices MakeDesktopServices(Backend backend) {
  DesktopServices s;
  const QDBusConnection bus = QDBusConnection::sessionBus();
  if (backend == Backend::Wayland) {
    s.screen = std::make_unique<PortalScreen>(bus, qtDesktop);
    s.hotkeys = std::make_unique<CompositorHotkeys>();
    // Without the service there is nothing to switch; the switch then says so.
    s.screensaver = std::make_unique<DBusScreensaver>(bus);
    return s;
  }
  s.screen = std::make_unique<XcbScreen>();
  s.hotkeys = std::make_unique<XcbHotkeys>(GuiConnection());
  if (DBusScreensaver::Available(bus))
    s.screensaver = std::make_unique<DBusScreensaver>(bus);
  else
    s.screensaver = std::make_unique<XcbScreensaver>(GuiConnection());
  return s;
}

std::unique_ptr<Screen> MakeCaptureScreen(Backend backend, QString& error) {
  if (backend == Backend::Wayland) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
      error = QStringLiteral("no session bus (DBUS_SESSION_BUS_ADDRESS): on Wayland screenshots are taken through "
                             "the desktop portal, which lives there");
      return nullptr;
    }
    return std::make_unique<PortalScreen>(bus, qtDesktop);
  }
  auto screen = std::make_unique<XcbScreen>();
  if (!screen->connected()) {
    error = QStringLiteral("cannot open the X display %1").arg(qEnvironmentVariable("DISPLAY"));
    return nullptr;
  }
  return screen;
}

QString GrabFailureReason(Screen& screen) {
  auto* portal = dynamic_cast<PortalScreen*>(&screen);
  return portal ? portal->lastError() : QString();
}

void PlaceOverlayFullScreen(QWidget& overlay) {
  // Windows cannot place themselves on Wayland: the compositor gives a
  // full-screen window the whole output it is put on.
  overlay.setMinimumSize(0, 0);
  overlay.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  overlay.winId();
  if (QWindow* window = overlay.windowHandle()) window->setScreen(QGuiApplication::primaryScreen());
  overlay.setWindowState(overlay.windowState() | Qt::WindowFullScreen);
}

}  // namespace lumora
