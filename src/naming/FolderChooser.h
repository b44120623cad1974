#pragma once

#include "naming/FileNaming.h"

class QWidget;

namespace lumora {

// The button "Dateiname und Pfad...": lets the user pick the target folder and the
// name prefix in a file dialog that lists only folders. True when a choice was made.
// Afterwards captures go to files again (the caller unchecks its clipboard box).
bool ChooseFolderAndPrefix(QWidget* parent, const Settings& settings, FileNaming& naming, bool blank, bool quiet);

}  // namespace lumora
