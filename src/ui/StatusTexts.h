#pragma once

#include <QString>
#include <cstdint>

namespace lumora {

// Panel 0: "800 x 600".
QString StatusSizeText(int64_t width, int64_t height);
// Panel 1: "Oben", "Mitte", "Unten", "keine" for positions 0..3, and "keine"
// for anything else.
QString StatusPositionText(uint8_t position);

}  // namespace lumora
