#pragma once

#include <cstdio>

#include "app/cli/CommandLine.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Screen.h"
#include "app/cli/StreamDialogs.h"
#include "settings/Settings.h"

namespace lumora {

// Exit codes of `lumora --capture`.
enum OneShotExit { kSaved = 0, kFailed = 1, kUsage = 2, kDeclined = 3 };

// Runs one capture through the capture driver with the given settings and the
// command line's overrides. Prints the written file on `out`.
int RunOneShot(const CommandLine& cl, Settings& settings, Screen& screen, StreamDialogs& dialogs,
               Clipboard& clipboard, const Clock& clock, std::FILE* out);

}  // namespace lumora
