#include "settings/SettingsStartup.h"

#include "settings/Defaults.h"

namespace lumora {

namespace msg {
const char* const kFirstWriteFailed =
    "Lumora konnte bei der ersten Ausführung keine Daten in die\n"
    "Registrierungsdatenbank schreiben. Benutzereinstellungen sind\n"
    "somit für folgende Programmläufe nicht wieder verfügbar.";
const char* const kExitSaveFailed =
    "Die Einstellungen konnten nicht in die Registrierungsdatenbank\n"
    "übernommen werden. Es kann zu einem Fehler beim nächsten Programm-\n"
    "start kommen, der dann jedoch wenn möglich, behoben wird.";
}  // namespace msg

void InitShortcuts(RegistryOp& store, ShortcutSettings& letters) {
  if (!store.LoadShortcuts(letters)) store.SaveShortcuts('S', 'A');
}

bool LoadSettingsAtStart(RegistryOp& store, Dialogs& dialogs, Settings& settings, QSize screenSize,
                         const QString& defaultFolder) {
  if (store.LoadSettings(settings)) {
    settings.Beschriftung.FontName = QStringLiteral("Arial");
    return true;
  }
  SetDefaults(settings, screenSize, defaultFolder);
  if (!store.SaveSettings(settings)) dialogs.error(QString::fromUtf8(msg::kFirstWriteFailed));
  return false;
}

bool SaveSettingsAtExit(RegistryOp& store, Dialogs& dialogs, const Settings& settings, bool uninstalled) {
  if (uninstalled) return true;
  if (store.SaveSettings(settings)) return true;
  dialogs.error(QString::fromUtf8(msg::kExitSaveFailed));
  return false;
}

}  // namespace lumora
