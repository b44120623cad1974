#pragma once

#include <QString>

#include "settings/Settings.h"

namespace lumora {

// At start: what a Lumora that died mid-write left behind on a filesystem without
// unnamed files, in the pictures folder and beside the settings file, goes (see
// AtomicFile::SweepStale for what counts as ours).
void SweepLeftovers(const Settings& settings, const QString& settingsFile);

}  // namespace lumora
