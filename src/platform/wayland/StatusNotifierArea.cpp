#include "platform/wayland/StatusNotifierArea.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>

namespace lumora {

namespace {
const char* const kWatcher = "org.kde.StatusNotifierWatcher";
}  // namespace

NotificationArea::Host StatusNotifierArea::host() const {
  if (!bus_.isConnected() || !bus_.interface()) return Host::None;
  if (!bus_.interface()->isServiceRegistered(QLatin1String(kWatcher)).value()) return Host::None;
  // A watcher alone shows nothing: Qt takes it only once a host has registered.
  QDBusMessage get = QDBusMessage::createMethodCall(QLatin1String(kWatcher), QStringLiteral("/StatusNotifierWatcher"),
                                                    QStringLiteral("org.freedesktop.DBus.Properties"),
                                                    QStringLiteral("Get"));
  get << QLatin1String(kWatcher) << QStringLiteral("IsStatusNotifierHostRegistered");
  const QDBusReply<QDBusVariant> reply = bus_.call(get, QDBus::Block, 2000);
  return reply.isValid() && reply.value().variant().toBool() ? Host::StatusNotifier : Host::None;
}

}  // namespace lumora
