#include "platform/wayland/DesktopNotice.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace lumora {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
}  // namespace

DesktopNotice::DesktopNotice(QDBusConnection bus) : bus_(std::move(bus)) {}

bool DesktopNotice::show() {
  if (!bus_.isConnected() || !bus_.interface() || !bus_.interface()->isServiceRegistered(kService).value())
    return false;
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
  const QVariantMap hints{{QStringLiteral("transient"), true},
                          {QStringLiteral("desktop-entry"), QStringLiteral("lumora")}};
  call << QStringLiteral("Lumora") << uint(id_) << QStringLiteral("lumora") << QStringLiteral("Screenshot erstellt")
       << QString() << QStringList() << hints << int(2000);
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
    const QDBusPendingReply<uint> reply = *w;
    w->deleteLater();
    if (reply.isError()) return;
    id_ = reply.value();
    // The badge's time may be over before the server answered.
    if (!open_) close();
  });
  open_ = true;
  return true;
}

void DesktopNotice::close() {
  open_ = false;
  if (id_ == 0) return;
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("CloseNotification"));
  call << uint(id_);
  bus_.asyncCall(call);
}

}  // namespace lumora
