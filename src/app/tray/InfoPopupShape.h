#pragma once

#include <QRect>
#include <vector>

namespace lumora {

// The spans of the popup's round window region, the ellipse bounded by (1, 1)
// and (105, 105): one 1-pixel-high rectangle per row, rows 1 to 103.
std::vector<QRect> InfoPopupSpans();

}  // namespace lumora
