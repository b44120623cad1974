#pragma once

#include <memory>

#include "platform/NotificationArea.h"

struct xcb_connection_t;

namespace lumora {

// The notification areas of an X session: an embedding system tray (trayer,
// tint2, a panel without a session bus), found by the owner of the screen's
// tray selection, and whatever `onTheBus` finds on the session bus.
class XcbNotificationArea : public NotificationArea {
 public:
  XcbNotificationArea(xcb_connection_t* connection, std::unique_ptr<NotificationArea> onTheBus);
  Host host() const override;

 private:
  xcb_connection_t* conn_;
  std::unique_ptr<NotificationArea> bus_;
  uint32_t selection_ = 0;
};

}  // namespace lumora
