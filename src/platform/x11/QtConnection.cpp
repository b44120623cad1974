#include "platform/x11/QtConnection.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

namespace lumora {

xcb_connection_t* QtXcbConnection() {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

bool XServerReachable() {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  const bool ok = !xcb_connection_has_error(c);
  xcb_disconnect(c);
  return ok;
}

}  // namespace lumora
