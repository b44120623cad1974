#pragma once

#include <QStringList>

namespace lumora {

// The keys the hotkeys can use, in list order: "A".."Z", "1".."9", "0".
QStringList ShortcutEntries();

// The list position of `key`, or -1 when it is not one of the entries.
int ShortcutIndex(char key);

}  // namespace lumora
