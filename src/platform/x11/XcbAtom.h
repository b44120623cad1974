#pragma once

#include <cstdint>

struct xcb_connection_t;

namespace lumora {

// The server's atom for `name`, made when missing; 0 (None) when it cannot be had.
uint32_t InternAtom(xcb_connection_t* connection, const char* name);

}  // namespace lumora
