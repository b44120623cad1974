#include "GnomeSession.h"

#include <QFile>

#include "PrivateBus.h"

namespace lumora::test {

namespace {

// Runs inside dbus-run-session as the session's user.
const char* const kScript = R"(#!/bin/sh
B="$1"
cd "$HOME"
( while [ -d "/proc/$2" ]; do sleep 0.5; done; kill -TERM 0 ) &
dbus-daemon --config-file="$B/system-bus.conf" --nofork --print-address=3 3>"$B/system-bus" &
for i in $(seq 200); do [ -s "$B/system-bus" ] && break; sleep 0.05; done
export DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$B/system-bus")
gsettings set org.gnome.desktop.interface enable-animations false
gsettings set org.gnome.desktop.background picture-uri "file://$B/background.png"
gsettings set org.gnome.desktop.background picture-uri-dark "file://$B/background.png"
gsettings set org.gnome.desktop.background picture-options stretched
pipewire >"$B/pipewire.log" 2>&1 &
wireplumber >"$B/wireplumber.log" 2>&1 &
gnome-shell --headless --wayland --no-x11 --wayland-display=wayland-0 --virtual-monitor "$3" >"$B/shell.log" 2>&1 &
for i in $(seq 600); do
  gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus -m org.freedesktop.DBus.NameHasOwner \
    org.gnome.Shell 2>/dev/null | grep -q true && break
  sleep 0.05
done
/usr/libexec/xdg-desktop-portal-gnome >"$B/portal-gnome.log" 2>&1 &
/usr/libexec/xdg-desktop-portal >"$B/portal.log" 2>&1 &
printf 'DBUS_SESSION_BUS_ADDRESS=%s\nWAYLAND_DISPLAY=wayland-0\nDBUS_SYSTEM_BUS_ADDRESS=%s\n' \
  "$DBUS_SESSION_BUS_ADDRESS" "$DBUS_SYSTEM_BUS_ADDRESS" >"$B/ready.tmp"
mv "$B/ready.tmp" "$B/ready"
wait
)";

}  // namespace

GnomeSession::GnomeSession(const QString& helper, const QImage& background, int width, int height)
    : WaylandSession(QStringLiteral("GNOME")) {
  if (!running()) return;
  helper_ = install(helper);
  const QString picture = base() + QStringLiteral("/background.png");
  if (helper_.isEmpty() || !background.save(picture, "PNG") ||
      !QFile::setPermissions(picture, QFileDevice::Permissions(0x6444)) ||
      !write(QStringLiteral("system-bus.conf"), BareBusConfig("system"))) {
    fail(QStringLiteral("cannot write the session's files in %1").arg(base()));
    return;
  }
  if (!launch(kScript, 30000, {QStringLiteral("%1x%2").arg(width).arg(height)})) {
    fail(error() + log(QStringLiteral("shell.log")));
    return;
  }
  if (!waitForPortal()) {
    fail(QStringLiteral("the desktop portal did not come up:\n%1\n%2")
             .arg(log(QStringLiteral("portal.log")), log(QStringLiteral("portal-gnome.log"))));
    return;
  }
  // GNOME starts in the overview.
  if (!press({QStringLiteral("0xff1b")})) fail(QStringLiteral("no input through the remote desktop interface"));
}

QImage GnomeSession::shellPicture() const {
  const QString file = folder() + QStringLiteral("/shell.png");
  QImage picture;
  if (run(helper_, {QStringLiteral("picture"), file}).exitCode == 0) picture.load(file);
  QFile::remove(file);
  return picture.convertToFormat(QImage::Format_RGB32);
}

bool GnomeSession::press(const QStringList& keysyms) const {
  return run(helper_, QStringList{QStringLiteral("keys")} + keysyms).exitCode == 0;
}

bool GnomeSession::setScreenshotsAllowed(std::optional<bool> allowed) const {
  QStringList args{QStringLiteral("call"), QStringLiteral("--session"),
                   QStringLiteral("-d"), QStringLiteral("org.freedesktop.impl.portal.PermissionStore"),
                   QStringLiteral("-o"), QStringLiteral("/org/freedesktop/impl/portal/PermissionStore"),
                   QStringLiteral("-m")};
  // Programs outside a sandbox share one entry, the empty application id.
  if (allowed)
    args << QStringLiteral("org.freedesktop.impl.portal.PermissionStore.SetPermission") << QStringLiteral("screenshot")
         << QStringLiteral("true") << QStringLiteral("screenshot") << QString()
         << (*allowed ? QStringLiteral("['yes']") : QStringLiteral("['no']"));
  else
    args << QStringLiteral("org.freedesktop.impl.portal.PermissionStore.DeletePermission")
         << QStringLiteral("screenshot") << QStringLiteral("screenshot") << QString();
  const ProcessResult r = run(QStringLiteral("gdbus"), args);
  // Forgetting what was never stored is no failure.
  return r.exitCode == 0 || (!allowed && r.err.contains("NotFound"));
}

}  // namespace lumora::test
