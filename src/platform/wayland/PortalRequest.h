#pragma once

#include <QDBusConnection>
#include <QString>

namespace lumora {

// The desktop portal's bus name and object.
inline QString PortalService() { return QStringLiteral("org.freedesktop.portal.Desktop"); }
inline QString PortalPath() { return QStringLiteral("/org/freedesktop/portal/desktop"); }

// The portal answers on a request object whose path it derives from the caller's
// unique bus name and the token; listening there before calling means the answer
// cannot slip past between the call's return and the subscription.
inline QString PortalRequestPath(const QDBusConnection& bus, const QString& token) {
  QString sender = bus.baseService();
  sender.remove(0, 1);  // the leading ':'
  sender.replace(QLatin1Char('.'), QLatin1Char('_'));
  return PortalPath() + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

}  // namespace lumora
