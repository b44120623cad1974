#pragma once

#include <QImage>
#include <vector>

namespace lumora {

// For one axis of a colour-on-colour stretch: the source index that each of
// `dst` destination pixels takes from a source of length `src` (rows and columns
// are dropped or repeated, never averaged). `rows` selects the row rule.
std::vector<int> stretchIndices(int src, int dst, bool rows);

// Scales `source` to `size` as the colour-on-colour stretch does. The result is
// Format_RGB32.
QImage stretchColorOnColor(const QImage& source, QSize size);

}  // namespace lumora
