#include "platform/Desktop.h"

#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QScreen>

#include "platform/ipc/RunningInstance.h"
#include "platform/wayland/CompositorHotkeys.h"
#include "platform/wayland/CompositorWindows.h"
#include "platform/wayland/DBusScreensaver.h"
#include "platform/wayland/DesktopNotice.h"
#include "platform/wayland/PortalHotkeys.h"
#include "platform/wayland/PortalScreen.h"
#include "platform/wayland/StatusNotifierArea.h"
#include "platform/x11/QtConnection.h"
#include "platform/x11/XcbClipboardManager.h"
#include "platform/x11/XcbDesktopWindows.h"
#include "platform/x11/XcbHotkeys.h"
#include "platform/x11/XcbNotificationArea.h"
#include "platform/x11/XcbScreen.h"
#include "platform/x11/XcbScreensaver.h"

namespace lumora {

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

QtPlatformChoice ChooseQtPlatform(Backend backend, bool waylandPlugin, bool xServer) {
  if (backend == Backend::X11 || waylandPlugin) return {QtPlatformFor(backend), {}, {}};
  if (xServer)
    return {"xcb", QStringLiteral("Qt's Wayland plugin is missing (package qt6-wayland); the windows use X11 through "
                                  "Xwayland, the screenshots still come from the desktop portal"),
            {}};
  return {{}, {},
          QStringLiteral("Qt's Wayland plugin is missing (package qt6-wayland) and there is no X server (Xwayland) "
                         "to use instead")};
}

bool QtWaylandPluginInstalled(const QProcessEnvironment& env) {
  QStringList folders;
  if (env.contains(QStringLiteral("QT_QPA_PLATFORM_PLUGIN_PATH")))
    folders << env.value(QStringLiteral("QT_QPA_PLATFORM_PLUGIN_PATH"));
  for (const QString& path : env.value(QStringLiteral("QT_PLUGIN_PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts))
    folders << path + QStringLiteral("/platforms");
  folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
  for (const QString& folder : folders)
    if (!QDir(folder).entryList({QStringLiteral("libqwayland*.so")}, QDir::Files).isEmpty()) return true;
  return false;
}

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

RunOptions RunOptions::FromEnvironment(const QProcessEnvironment& env) {
  RunOptions o;
  o.sharedMemory = !env.contains(QStringLiteral("LUMORA_NO_SHM"));
  o.unnamedFiles = env.value(QStringLiteral("LUMORA_NO_O_TMPFILE")).isEmpty();
  const int tick = env.value(QStringLiteral("LUMORA_TIMER_PERIOD_MS")).toInt();
  if (tick > 0) o.timerTickMs = tick;
  return o;
}

std::optional<Desktop> Desktop::FromEnvironment(const QProcessEnvironment& env, QString& error) {
  const BackendChoice choice = ChooseBackend(env);
  if (!choice.backend) {
    error = choice.error;
    return std::nullopt;
  }
  return Desktop(*choice.backend, RunOptions::FromEnvironment(env), env);
}

std::optional<Desktop> Desktop::ForClipboardHolder(const QProcessEnvironment& env, QString& error) {
  const QString display = env.value(QStringLiteral("DISPLAY"));
  if (display.isEmpty()) {
    error = QStringLiteral("keine X-Anzeige (DISPLAY ist nicht gesetzt)");
    return std::nullopt;
  }
  if (!XServerReachable()) {
    error = QStringLiteral("keine Verbindung zur X-Anzeige %1").arg(display);
    return std::nullopt;
  }
  // The capture came from X11, and so does the clipboard that gets its picture.
  qputenv("QT_QPA_PLATFORM", "xcb");
  return Desktop(Backend::X11, RunOptions::FromEnvironment(env), env);
}

QString Desktop::unreachable(const char* what) const {
  const QString display = env_.value(QStringLiteral("DISPLAY"));
  if (backend_ == Backend::X11 && display.isEmpty())
    return QStringLiteral("no X display (DISPLAY is not set); %1 needs one").arg(QLatin1String(what));
  // Qt's X11 plugin aborts when it cannot connect; asked first, the reason fits in a line.
  if (backend_ == Backend::X11 && !XServerReachable())
    return QStringLiteral("cannot open the X display %1; %2 needs one").arg(display, QLatin1String(what));
  if (backend_ == Backend::Wayland && WaylandSocket(env_).isEmpty())
    return QStringLiteral("no Wayland compositor to connect to (WAYLAND_DISPLAY %1 in XDG_RUNTIME_DIR %2)")
        .arg(env_.value(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0")),
             env_.value(QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("(not set)")));
  return QString();
}

QtPlatformChoice Desktop::chooseQtPlatform() const {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return {};
  const bool plugin = backend_ == Backend::X11 || QtWaylandPluginInstalled(env_);
  const bool xServer = !plugin && !env_.value(QStringLiteral("DISPLAY")).isEmpty() && XServerReachable();
  const QtPlatformChoice choice = ChooseQtPlatform(backend_, plugin, xServer);
  if (!choice.plugin.isEmpty()) qputenv("QT_QPA_PLATFORM", choice.plugin);
  return choice;
}

QString Desktop::sessionKey() const { return RunningInstance::SessionKey(backend_ == Backend::Wayland); }

bool Desktop::captureNeedsApplication() const { return backend_ == Backend::Wayland; }

std::unique_ptr<Screen> Desktop::captureScreen(QString& error) const {
  if (backend_ == Backend::Wayland) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
      error = QStringLiteral("no session bus (DBUS_SESSION_BUS_ADDRESS): on Wayland screenshots are taken through "
                             "the desktop portal, which lives there");
      return nullptr;
    }
    return std::make_unique<PortalScreen>(bus, qtDesktop);
  }
  auto screen = std::make_unique<XcbScreen>(options_.sharedMemory);
  if (!screen->connected()) {
    error = QStringLiteral("cannot open the X display %1").arg(env_.value(QStringLiteral("DISPLAY")));
    return nullptr;
  }
  return screen;
}

std::optional<ScreenRect> Desktop::activeWindowFrame() const {
  if (backend_ == Backend::Wayland)
    return CompositorWindows(env_.value(QStringLiteral("SWAYSOCK")), qtDesktop).activeWindowFrame();
  const XcbScreen screen(false);
  if (!screen.connected()) return std::nullopt;
  return XcbDesktopWindows::ActiveOnDisplay(screen.primary().topLeft());
}

DesktopServices Desktop::trayServices() const {
  DesktopServices s;
  const QDBusConnection bus = QDBusConnection::sessionBus();
  if (backend_ == Backend::Wayland) {
    s.screen = std::make_unique<PortalScreen>(bus, qtDesktop);
    // Where the desktop binds keys for programs, it does; elsewhere the person binds
    // them to lumora --shot and --select.
    if (PortalHotkeys::Offered(bus))
      s.hotkeys = std::make_unique<PortalHotkeys>(bus);
    else
      s.hotkeys = std::make_unique<CompositorHotkeys>();
    // Without the service there is nothing to switch; the switch then says so.
    s.screensaver = std::make_unique<DBusScreensaver>(bus);
    s.windows = std::make_unique<CompositorWindows>(env_.value(QStringLiteral("SWAYSOCK")), qtDesktop);
    s.tray = std::make_unique<StatusNotifierArea>(bus);
    s.notice = std::make_unique<DesktopNotice>(bus);
    return s;
  }
  auto screen = std::make_unique<XcbScreen>(options_.sharedMemory);
  // The window list is in the grab's pixels; the screen lives as long as the list.
  XcbScreen* grabScreen = screen.get();
  s.screen = std::move(screen);
  s.hotkeys = std::make_unique<XcbHotkeys>(QtXcbConnection());
  if (DBusScreensaver::Available(bus))
    s.screensaver = std::make_unique<DBusScreensaver>(bus);
  else
    s.screensaver = std::make_unique<XcbScreensaver>(QtXcbConnection());
  s.windows = std::make_unique<XcbDesktopWindows>([grabScreen] { return grabScreen->primary().topLeft(); });
  s.tray = std::make_unique<XcbNotificationArea>(QtXcbConnection(), std::make_unique<StatusNotifierArea>(bus));
  return s;
}

std::unique_ptr<ClipboardManager> Desktop::clipboardManager() const {
  return std::make_unique<XcbClipboardManager>(QtXcbConnection());
}

}  // namespace lumora
