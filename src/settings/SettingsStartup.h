#pragma once

#include <QSize>
#include <QString>

#include "platform/Dialogs.h"
#include "settings/RegistryOp.h"
#include "settings/Settings.h"

namespace lumora {

// The settings' part of program start and exit, shared by the tray program and the
// command line.

// Before any window exists: loads the hotkey letters. When the key is there but the
// letters cannot be read, stores 'S' and 'A' and leaves the letters in memory as read.
void InitShortcuts(RegistryOp& store, ShortcutSettings& letters);

// Loads every other setting. On a first run or a read failure applies the defaults and
// stores them at once, telling the user when that first write failed. True when the
// stored settings were loaded. A settings file that is not a file at all (a folder,
// a pipe) is named in a message and left alone: the defaults then last until exit.
bool LoadSettingsAtStart(RegistryOp& store, Dialogs& dialogs, Settings& settings, QSize screenSize,
                         const QString& defaultFolder);

// Stores every setting at exit, unless the uninstall action removed them; tells the
// user when that failed.
bool SaveSettingsAtExit(RegistryOp& store, Dialogs& dialogs, const Settings& settings, bool uninstalled);

// Everything a save would store, as one value: equal images mean nothing the
// store keeps has changed.
QByteArray StoredImage(const Settings& settings);

namespace msg {
extern const char* const kFirstWriteFailed;
extern const char* const kExitSaveFailed;
extern const char* const kNotAFile;
}  // namespace msg

}  // namespace lumora
