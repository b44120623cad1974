#pragma once

#include <QString>

namespace lumora {

class Desktop;
struct CommandLine;

// Hands a verb ("show", "select", "shot", "quit") to the Lumora running on the
// desktop `key` names and returns the exit status. A program that is still
// starting (its first-run greeting may be open) is given `patienceMs` to begin
// listening; "quit" returns once the program has ended and saved.
int SendToRunning(const QString& key, const QString& verb, int patienceMs);

// `lumora [--start] --show|--select|--shot|--quit`. `desktop` is null when the
// environment named no backend; `program` is the lumora that --start starts.
int RunVerb(const CommandLine& cl, const Desktop* desktop, const QString& program);

}  // namespace lumora
