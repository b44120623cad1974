#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "platform/ScreenRect.h"

namespace lumora {

// What the command line asks for.
struct CommandLine {
  enum class Mode { Tray, Capture, Autostart, Verb, Help, Version, Invalid };
  Mode mode = Mode::Tray;
  QString output;                   // --output FILE
  std::optional<ScreenRect> region;  // --region L,T,R,B
  bool window = false;              // --window: the window that has the focus
  int delayMs = 200;                // --delay MS
  bool yes = false;                 // --yes: answer confirmations with Yes
  bool pointer = false;             // --pointer: the pointer in the picture
  std::optional<uint8_t> screen;    // --screen primary|pointer|all: a WholeScreen code
  bool autostartOn = false;         // --autostart on|off
  QString verb;                     // --show, --select, --shot, --shot-window, --quit: "show", ...
  bool start = false;               // --start: with a verb, start Lumora first when none runs
  QString error;                    // why the line is invalid
};

// Reads the arguments after the program name.
CommandLine ParseCommandLine(const QStringList& args);

QString UsageText();
// What a refused command line prints on standard error: the problem in one line
// and where the help is.
QString UsageError(const CommandLine& cl);

}  // namespace lumora
