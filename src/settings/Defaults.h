#pragma once

#include <QSize>
#include <QString>

#include "settings/Settings.h"

namespace lumora {

// Applies the default of every setting except the hotkey letters and sets the
// counter to 0. The selection becomes the whole screen of `screenSize`.
void SetDefaults(Settings& settings, QSize screenSize, const QString& defaultFolder);

// The default target folder, ending in '/': the program's own folder while the
// program runs where it was built, otherwise the user's pictures
// folder. An installed program's folder is no place for pictures, also where the
// user may write there (root, an install into ~/.local): a `bin` folder or a
// read-only one never is. `picturesFolder` empty means the system's pictures location.
struct ProgramPlace {
  QString folder;       // the running executable's folder
  QString buildFolder;  // the folder the build put it in
};
QString DefaultFolder(const ProgramPlace& program, const QString& picturesFolder = QString());

}  // namespace lumora
