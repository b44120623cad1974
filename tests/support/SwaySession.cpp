#include "SwaySession.h"

#include <QFile>

namespace lumora::test {

namespace {

// Runs inside dbus-run-session as the session's user.
const char* const kScript = R"(#!/bin/sh
B="$1"
cd "$HOME"
# Should the test program die without cleaning up, the session ends with it.
( while [ -d "/proc/$2" ]; do sleep 0.5; done; kill -TERM 0 ) &
pipewire >"$B/pipewire.log" 2>&1 &
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$B/sway.conf" >"$B/sway.log" 2>&1 &
for i in $(seq 200); do
  WAYLAND_DISPLAY=$(cd "$XDG_RUNTIME_DIR" && ls wayland-* 2>/dev/null | grep -v lock | head -n 1)
  SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n 1)
  [ -n "$WAYLAND_DISPLAY" ] && [ -n "$SWAYSOCK" ] && break
  sleep 0.05
done
export WAYLAND_DISPLAY SWAYSOCK
dbus-update-activation-environment WAYLAND_DISPLAY XDG_RUNTIME_DIR XDG_CURRENT_DESKTOP
/usr/libexec/xdg-desktop-portal-wlr >"$B/portal-wlr.log" 2>&1 &
# The portal itself is started by the bus on its first call.
printf 'DBUS_SESSION_BUS_ADDRESS=%s\nWAYLAND_DISPLAY=%s\nSWAYSOCK=%s\n' \
  "$DBUS_SESSION_BUS_ADDRESS" "$WAYLAND_DISPLAY" "$SWAYSOCK" >"$B/ready.tmp"
mv "$B/ready.tmp" "$B/ready"
wait
)";

}  // namespace

SwaySession::SwaySession(const QImage& background, int width, int height)
    : WaylandSession(QStringLiteral("sway:gnome")) {
  if (!running()) return;
  const QString picture = base() + QStringLiteral("/background.png");
  const QByteArray config = QStringLiteral(
                                "xwayland disable\n"
                                "output HEADLESS-1 resolution %1x%2\n"
                                "output HEADLESS-1 bg %3 fill\n")
                                .arg(width)
                                .arg(height)
                                .arg(picture)
                                .toUtf8();
  if (!background.save(picture, "PNG") || !QFile::setPermissions(picture, QFileDevice::Permissions(0x6444)) ||
      !write(QStringLiteral("sway.conf"), config)) {
    fail(QStringLiteral("cannot write the session's files in %1").arg(base()));
    return;
  }
  if (!launch(kScript, 10000)) {
    fail(error() + log(QStringLiteral("sway.log")));
    return;
  }
  if (!waitForPortal())
    fail(QStringLiteral("the desktop portal did not come up:\n%1\n%2")
             .arg(log(QStringLiteral("portal.log")), log(QStringLiteral("portal-wlr.log"))));
}

QByteArray SwaySession::swaymsg(const QStringList& args) const { return run(QStringLiteral("swaymsg"), args).out; }

QImage SwaySession::grimPicture() const {
  const QString file = folder() + QStringLiteral("/grim.png");
  const ProcessResult r = run(QStringLiteral("grim"), {file});
  QImage picture;
  if (r.exitCode == 0) picture.load(file);
  QFile::remove(file);
  return picture.convertToFormat(QImage::Format_RGB32);
}

}  // namespace lumora::test
