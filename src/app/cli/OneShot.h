#pragma once

#include <cstdio>
#include <functional>
#include <optional>

#include "app/cli/CommandLine.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Screen.h"
#include "app/cli/StreamDialogs.h"
#include "settings/Defaults.h"
#include "settings/Settings.h"

namespace lumora {

class Desktop;

// Exit codes of `lumora --capture`.
enum OneShotExit { kSaved = 0, kFailed = 1, kUsage = 2, kDeclined = 3 };

// Runs one capture through the capture driver with the given settings and the
// command line's overrides. Prints the written file on `out`. Without
// `unnamedFiles` the picture is written through a hidden temporary name.
int RunOneShot(const CommandLine& cl, Settings& settings, Screen& screen, StreamDialogs& dialogs,
               Clipboard& clipboard, const Clock& clock, std::FILE* out, bool unnamedFiles = true,
               const std::function<std::optional<ScreenRect>()>& activeWindow = {});

// `lumora --capture`: the whole command, from the desktop to the exit status.
// Once a capture has run it leaves the process itself, at once.
int RunCaptureCommand(const CommandLine& cl, const Desktop& desktop, const ProgramPlace& program, int argc,
                      char** argv);

}  // namespace lumora
