#pragma once

#include <QImage>

#include "platform/Clock.h"
#include "settings/Settings.h"

namespace lumora {

// Stamps the caption band into `bitmap` in place.
void DrawCaption(QImage& bitmap, const tBeschriftung& caption, const Clock& clock);

}  // namespace lumora
