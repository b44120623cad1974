#pragma once

#include <QImage>
#include <QString>

#include "capture/BmpWriter.h"

namespace lumora {

// Writes an uncompressed true-colour Targa file of 24 bits per pixel: 18 header
// bytes (colour map entry size 24, descriptor 0x20 for top-down rows), the one
// image ID byte 0x1A, then the rows from the top down as blue, green, red bytes,
// unpadded. There is no footer. Any width up to the format's 65535 is written;
// a larger width or height fails before anything is written. The file is
// replaced as a whole, or not at all: a failure keeps the old file.
WriteResult WriteTga(PublishTarget& target, const QImage& image);
inline WriteResult WriteTga(const QString& path, const QImage& image) {
  PublishTarget target{path, nullptr, {}};
  return WriteTga(target, image);
}

}  // namespace lumora
