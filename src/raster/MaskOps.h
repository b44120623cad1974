#pragma once

#include <QImage>
#include <QRect>

namespace lumora {

// The mask mix mode of the options previews: every covered pixel becomes
// pixel AND colour, so a tint keeps only what the colour lets through.

// Masks the rectangle (left, top, right, bottom), right and bottom exclusive, with
// `color` (its red, green and blue; alpha is kept). Corners given the wrong way
// round are put in order first; the part outside the picture is skipped, and an
// empty rectangle changes nothing. A picture that is not 32 bits per pixel is
// converted to Format_RGB32 first.
void MaskFillRect(QImage& image, int left, int top, int right, int bottom, QRgb color);

// The same for a rectangle in Qt's form.
inline void MaskFillRect(QImage& image, const QRect& rect, QRgb color) {
  MaskFillRect(image, rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height(), color);
}

}  // namespace lumora
