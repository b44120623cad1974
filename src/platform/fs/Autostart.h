#pragma once

#include <QString>
#include <optional>

namespace lumora {

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

}  // namespace lumora
