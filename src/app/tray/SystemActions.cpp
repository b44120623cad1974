#include "app/tray/SystemActions.h"

namespace lumora {

QString SystemActions::ToggleScreensaver() {
  screensaverOn_ = !screensaverOn_;
  if (!screensaver_.setActive(screensaverOn_))
    dialogs_.error(QStringLiteral(
        "Die Systemeinstellung für den Screensaver konnte nicht\n"
        "durchgeführt werden! Es ist kein Status verfügbar."));
  return screensaverOn_ ? QStringLiteral("Screensaver On") : QStringLiteral("Screensaver Off");
}

void SystemActions::uninstallAndQuit() {
  if (!dialogs_.confirm(QStringLiteral(
          "Wollen Sie Lumora wirklich Deinstallieren?\n\n"
          "Es werden alle Einträge aus der Registry entfernt und das Programm\n"
          "beendet. Die Programmdatei bleibt dabei erhalten und kann jederzeit\n"
          "wieder ausgeführt werden. Vielen Dank, dass Sie Lumora benutzt haben.")))
    return;
  if (!store_.DeleteAllSettings())
    dialogs_.error(QStringLiteral(
        "Die Einträge konnten nicht (vollständig) aus der Registrierungs-\n"
        "datenbank entfernt werden. Die Ursache kann unter Anderem sein, dass\n"
        "Sie die Einstellungen schon zurückgesetzt haben oder aus anderen\n"
        "Gründen keine Einträge in der Registry geschrieben werden konnten."));
  uninstalled_ = true;
  if (hooks_.closeOptionsWindow) hooks_.closeOptionsWindow();
  if (hooks_.closeTrayWindow) hooks_.closeTrayWindow();
}

void SystemActions::ResetSettings() {
  if (!dialogs_.confirm(QStringLiteral(
          "Wollen Sie wirklich alle Einstellungen zurücksetzen?\n"
          "(Das Fenster wird dabei geschlossen)")))
    return;
  if (!store_.DeleteAllSettings())
    dialogs_.error(QStringLiteral(
        "Es ist ein Fehler beim Zurückstellen in der Registrierungsdatenbank\n"
        "aufgetreten. Der Programmablauf wurde nicht gestört. Beim Beenden von\n"
        "Lumora 2002 wird dieser Fehler behoben."));
  if (hooks_.resetSettings) hooks_.resetSettings();
  if (hooks_.closeOptionsWindow) hooks_.closeOptionsWindow();
}

}  // namespace lumora
