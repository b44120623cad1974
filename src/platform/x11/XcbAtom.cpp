#include "platform/x11/XcbAtom.h"

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace lumora {

uint32_t InternAtom(xcb_connection_t* connection, const char* name) {
  if (!connection) return 0;
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
  const uint32_t atom = reply ? reply->atom : 0;
  std::free(reply);
  return atom;
}

}  // namespace lumora
