#pragma once

class QAction;
class QMenu;

namespace lumora {

class Autostart;
class Dialogs;

// Appends the check item "  Mit der Sitzung starten" to `options`. Its check mark
// shows the entry on disk each time the menu opens, so a change made from a shell
// or by the desktop's own settings is seen. `autostart` and `dialogs` must outlive
// the menu.
QAction* AddSessionStartItem(QMenu& options, const Autostart& autostart, Dialogs& dialogs);

}  // namespace lumora
