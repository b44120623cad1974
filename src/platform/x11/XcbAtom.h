#pragma once

#include <cstdint>
#include <vector>

struct xcb_connection_t;

namespace lumora {

// The first screen's root window; 0 when the server names none.
uint32_t RootWindow(xcb_connection_t* connection);

// The server's atom for `name`, made when missing; 0 (None) when it cannot be had.
uint32_t InternAtom(xcb_connection_t* connection, const char* name);

// The 32-bit values of `property` on `window` (atoms, window ids, numbers),
// at most `maxValues`; empty when it is missing, of another type or format.
std::vector<uint32_t> PropertyValues(xcb_connection_t* connection, uint32_t window, uint32_t property,
                                     uint32_t type, uint32_t maxValues = 4096);

}  // namespace lumora
