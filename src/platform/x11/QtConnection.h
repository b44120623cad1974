#pragma once

struct xcb_connection_t;

namespace lumora {

// Qt's own connection to the X server; null on another platform plugin, and
// under offscreen, where the interface exists but has no connection.
xcb_connection_t* QtXcbConnection();

// Whether $DISPLAY names a server that takes a connection. Qt's X11 plugin ends
// the process when it cannot connect; asked first, the caller can say why instead.
bool XServerReachable();

}  // namespace lumora
