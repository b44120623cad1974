#pragma once

#include <QFont>
#include <QImage>

#include "platform/Clock.h"
#include "settings/Settings.h"

namespace lumora {

// Where the band of a caption lies in a picture of the given height.
struct CaptionBand {
  int top;     // first row
  int height;  // FontSize + 6
};
// A band that would start above row 0 (a picture lower than the band at "mitte"
// or "unten") starts at row 0 instead and covers the picture as far as it reaches.
CaptionBand CaptionBandFor(const tBeschriftung& caption, int pictureHeight);

// The text of the band: date, time and Text when Zeiteinblenden is set.
QString CaptionText(const tBeschriftung& caption, const Clock& clock);

// The font whose cell (ascent + descent) is as high as `cellHeight` pixels allows,
// drawn without smoothing.
QFont CaptionFont(const QString& family, int cellHeight);

// Stamps the caption band into `bitmap` in place.
void DrawCaption(QImage& bitmap, const tBeschriftung& caption, const Clock& clock);

}  // namespace lumora
