#pragma once

#include "platform/Dialogs.h"
#include "settings/Settings.h"

namespace lumora {

// Asks the user to confirm settings that give poor or unreadable captures, in a
// fixed order; false at the first warning answered with No.
bool CheckOptions(const Settings& settings, Dialogs& dialogs);

}  // namespace lumora
