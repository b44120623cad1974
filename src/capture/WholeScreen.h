#pragma once

#include <QPoint>
#include <QRect>
#include <optional>
#include <vector>

#include "platform/ScreenRect.h"
#include "settings/Settings.h"

namespace lumora {

// The rectangle a whole-screen capture covers under `choice` (a WholeScreen
// code), in pixels from the primary monitor's top-left corner. `monitors` lists
// the primary first. The pointer's monitor is the first one that holds the
// pointer; without a pointer, or with it beside every monitor, and for an
// unknown code, it is the primary. "All" is the bounding box of every monitor.
ScreenRect WholeScreenRect(uint8_t choice, const std::vector<QRect>& monitors, std::optional<QPoint> pointer);

}  // namespace lumora
