#include "platform/x11/XcbNotificationArea.h"

#include <QByteArray>
#include <cstdlib>
#include <xcb/xcb.h>

#include "platform/x11/XcbAtom.h"

namespace lumora {

XcbNotificationArea::XcbNotificationArea(xcb_connection_t* connection, std::unique_ptr<NotificationArea> onTheBus)
    : conn_(connection), bus_(std::move(onTheBus)) {
  if (!conn_) return;
  // The tray of the screen Qt's windows go to.
  int screen = 0;
  if (const char* display = std::getenv("DISPLAY")) {
    const QByteArray d(display);
    const int dot = d.lastIndexOf('.'), colon = d.lastIndexOf(':');
    if (dot > colon) screen = d.mid(dot + 1).toInt();
  }
  selection_ = InternAtom(conn_, QByteArray("_NET_SYSTEM_TRAY_S" + QByteArray::number(screen)).constData());
}

NotificationArea::Host XcbNotificationArea::host() const {
  if (bus_ && bus_->host() == Host::StatusNotifier) return Host::StatusNotifier;
  if (!conn_ || !selection_) return Host::None;
  xcb_get_selection_owner_reply_t* reply =
      xcb_get_selection_owner_reply(conn_, xcb_get_selection_owner(conn_, selection_), nullptr);
  const bool owned = reply && reply->owner != XCB_NONE;
  std::free(reply);
  return owned ? Host::Embedding : Host::None;
}

}  // namespace lumora
