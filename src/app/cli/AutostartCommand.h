#pragma once

#include <cstdio>

namespace lumora {

class Autostart;

// `lumora --autostart on|off`: says what it did on `out`, why it failed on `err`.
// Returns the exit status.
int AutostartCommand(const Autostart& autostart, bool on, FILE* out, FILE* err);

}  // namespace lumora
