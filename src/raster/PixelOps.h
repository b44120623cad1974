#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace lumora {

// For one axis of a colour-on-colour stretch: the source index that each of
// `dst` destination pixels takes from a source of length `src` (rows and columns
// are dropped or repeated, never averaged). `rows` selects the row rule.
std::vector<int> stretchIndices(int src, int dst, bool rows);

// Scales `source` to `size` as the colour-on-colour stretch does. The result is
// Format_RGB32.
QImage stretchColorOnColor(const QImage& source, QSize size);

// One channel of premultiplied "over": the source's value plus the destination's
// weighted by what the source leaves uncovered, rounded to the nearest.
uint8_t blendOver(uint8_t source, uint8_t alpha, uint8_t destination);

// Draws `source` (premultiplied ARGB) over the opaque `target` (RGB32) with its
// top-left corner at `at`; the parts outside the target are left out.
void blendPremultiplied(QImage& target, const QImage& source, QPoint at);

}  // namespace lumora
