#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace lumora {

// Where the user's small runtime files go (the single-instance lock and socket,
// the clipboard holder's lock): $XDG_RUNTIME_DIR when it is a folder of the
// user's own that no one else may write to, otherwise "lumora-UID" under
// `fallbackBase`, created 0700 when missing. Whoever opens files there checks the
// folder again with PrivateFolder(), since it may have been planted by another user.
QString RuntimeFolder(const QByteArray& xdgRuntimeDir, const QString& fallbackBase);

// The places to try in order: RuntimeFolder() from the environment with /tmp as
// the fallback base, then ~/.cache/lumora for the rare case that /tmp holds a
// "lumora-UID" that is not the user's.
QStringList RuntimeFolders();

// $XDG_CONFIG_HOME when it is an absolute path (XDG says to ignore a relative
// one), otherwise ~/.config.
QString ConfigHome();

// Makes `folder` if needed; true when it is a real folder (not a link) owned by
// this user that no one else may write to.
bool PrivateFolder(const QString& folder);

// The first of RuntimeFolders() that PrivateFolder() accepts; empty when none does.
QString PrivateRuntimeFolder();

}  // namespace lumora
