#pragma once

#include <QImage>
#include <QStringList>

#include "settings/Settings.h"

namespace lumora {

// The lines that name the two hotkeys with their current letters.
QStringList HotkeyLines(const ShortcutSettings& keys);

// The picture of the tab " Informationen ": name, version and the two hotkeys,
// drawn onto `background` (the logo on a plain band), so that the letters shown
// are always the ones in use.
QImage InfoPicture(const QImage& background, const ShortcutSettings& keys);

}  // namespace lumora
