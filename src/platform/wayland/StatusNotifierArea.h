#pragma once

#include <QDBusConnection>

#include "platform/NotificationArea.h"

namespace lumora {

// A status notifier host on the session bus (KDE Plasma, Xfce's status tray,
// GNOME with the AppIndicator extension), found through its watcher.
class StatusNotifierArea : public NotificationArea {
 public:
  explicit StatusNotifierArea(QDBusConnection bus) : bus_(std::move(bus)) {}
  Host host() const override;

 private:
  QDBusConnection bus_;
};

}  // namespace lumora
