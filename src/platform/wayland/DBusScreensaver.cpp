#include "platform/wayland/DBusScreensaver.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace lumora {

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
constexpr int kCallTimeoutMs = 3000;

QDBusMessage call(const QString& method) {
  return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

}  // namespace

DBusScreensaver::DBusScreensaver(QDBusConnection bus) : bus_(std::move(bus)) {}

DBusScreensaver::~DBusScreensaver() {
  if (cookie_) setActive(true);
}

bool DBusScreensaver::Available(const QDBusConnection& bus) {
  if (!bus.isConnected() || !bus.interface()) return false;
  QDBusConnectionInterface* iface = bus.interface();
  if (iface->isServiceRegistered(kService)) return true;
  const QDBusReply<QStringList> activatable = iface->call(QStringLiteral("ListActivatableNames"));
  return activatable.isValid() && activatable.value().contains(kService);
}

bool DBusScreensaver::setActive(bool on) {
  if (on) {
    if (!cookie_) return true;
    QDBusMessage m = call(QStringLiteral("UnInhibit"));
    m << cookie_;
    const QDBusMessage reply = bus_.call(m, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) return false;
    cookie_ = 0;
    return true;
  }
  if (cookie_) return true;
  QDBusMessage m = call(QStringLiteral("Inhibit"));
  m << QStringLiteral("lumora") << QStringLiteral("Screensaver Off");
  const QDBusReply<uint32_t> reply = bus_.call(m, QDBus::Block, kCallTimeoutMs);
  if (!reply.isValid()) return false;
  cookie_ = reply.value();
  // A cookie of 0 would read as "nothing held"; no service hands one out, but
  // the switch must still know that it holds something.
  if (cookie_ == 0) cookie_ = UINT32_MAX;
  return true;
}

}  // namespace lumora
