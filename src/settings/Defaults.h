#pragma once

#include <QSize>
#include <QString>

#include "settings/Settings.h"

namespace lumora {

// Applies the default of every setting except the hotkey letters and sets the
// counter to 0. The selection becomes the whole screen of `screenSize`.
void SetDefaults(Settings& settings, QSize screenSize, const QString& defaultFolder);

// The default target folder, ending in '/': the program's own folder, or the
// user's pictures folder when the program's folder is not writable (an installed
// program). `picturesFolder` empty means the system's pictures location.
QString DefaultFolder(const QString& programFolder, const QString& picturesFolder = QString());

}  // namespace lumora
