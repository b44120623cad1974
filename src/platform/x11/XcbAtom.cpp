#include "platform/x11/XcbAtom.h"

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace lumora {

uint32_t RootWindow(xcb_connection_t* connection) {
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  return screen ? screen->root : XCB_NONE;
}

uint32_t InternAtom(xcb_connection_t* connection, const char* name) {
  if (!connection) return 0;
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
  const uint32_t atom = reply ? reply->atom : 0;
  std::free(reply);
  return atom;
}

std::vector<uint32_t> PropertyValues(xcb_connection_t* connection, uint32_t window, uint32_t property,
                                     uint32_t type, uint32_t maxValues) {
  std::vector<uint32_t> values;
  if (!connection || !property) return values;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, property, type, 0, maxValues), nullptr);
  if (reply && reply->format == 32 && reply->type == type) {
    const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
    values.assign(v, v + xcb_get_property_value_length(reply) / 4);
  }
  std::free(reply);
  return values;
}

}  // namespace lumora
