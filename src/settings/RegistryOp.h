#pragma once

#include <QString>

#include "platform/Dialogs.h"
#include "settings/store/Registry.h"
#include "settings/Settings.h"

namespace lumora {

// Keeps the settings across runs in one registry key and recognises the first run by
// that key's absence. Each operation opens the key, works on it and closes it again.
// The store shows two messages of its own: the first-run welcome and the read error.
class RegistryOp {
 public:
  static const QString kKeyPath;  // "\SOFTWARE\LUMORA\" below the machine hive

  RegistryOp(Registry& registry, Dialogs& dialogs) : registry_(registry), dialogs_(dialogs) {}

  bool KeyExists(const QString& path);
  // Reads every stored setting into `settings` (timer values and Blank included);
  // true when everything was read. False after the welcome (no key) or the read-error
  // message; fields read before a failure keep their new values.
  bool LoadSettings(Settings& settings);
  // Writes the 27 values; false on any registry failure, without a message.
  bool SaveSettings(const Settings& settings);
  // True without touching the letters when the key is missing.
  bool LoadShortcuts(ShortcutSettings& letters);
  // "SC_Window" goes after the two letters older versions know, which ignore it.
  bool SaveShortcuts(char screen, char auswahl, char window = 'W');
  // True when the key was there and is gone.
  bool DeleteAllSettings();
  // Keeps the stored settings aside before defaults replace them.
  bool KeepDamagedCopy() { return registry_.KeepDamagedCopy(); }
  // The settings file's place when something other than a file is there.
  QString UnusablePlace() { return registry_.UnusablePlace(); }

 private:
  bool readError();

  Registry& registry_;
  Dialogs& dialogs_;
};

// The hotkey letters, beside the fixed HotkeyModifiers.
inline char GetScreenLetter(const ShortcutSettings& letters) { return letters.SC_Screen; }
inline char GetAuswahlLetter(const ShortcutSettings& letters) { return letters.SC_Auswahl; }

namespace msg {
extern const char* const kWelcome;
extern const char* const kReadError;
}  // namespace msg

}  // namespace lumora
