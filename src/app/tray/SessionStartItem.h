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
// The switch itself: writes or removes the entry and reports a failure in a box.
// Returns the entry's state afterwards.
bool SwitchSessionStart(const Autostart& autostart, bool on, Dialogs& dialogs);

QAction* AddSessionStartItem(QMenu& options, const Autostart& autostart, Dialogs& dialogs);

}  // namespace lumora
