#pragma once

#include <QString>
#include <cstdio>
#include <optional>

namespace lumora {

class Dialogs;

// The entry that makes the desktop session start Lumora at login:
// <configHome>/autostart/lumora.desktop.
class Autostart {
 public:
  // `program` is the executable the entry starts (an absolute path).
  Autostart(const QString& configHome, const QString& program);

  QString path() const { return path_; }
  QString program() const { return program_; }
  // An entry is there and the session has not been told to skip it (Hidden=true).
  bool enabled() const;
  // Writes or removes the entry; false when the file could not be written or removed.
  bool set(bool on) const;

  // The entry's text; nothing when `program` cannot be named in a desktop entry
  // (a relative path, a line break or a character that is not text).
  static std::optional<QString> EntryText(const QString& program);
  // `program` as one argument of a desktop entry's Exec key.
  static QString ExecArgument(const QString& program);

 private:
  QString path_;
  QString program_;
};

// The tray menu's switch: writes or removes the entry and reports a failure in a box.
// Returns the entry's state afterwards.
bool SwitchSessionStart(const Autostart& autostart, bool on, Dialogs& dialogs);

// `lumora --autostart on|off`: says what it did on `out`, why it failed on `err`.
// Returns the exit status.
int AutostartCommand(const Autostart& autostart, bool on, FILE* out, FILE* err);

}  // namespace lumora
