#pragma once

#include <QImage>
#include <QString>
#include <cstdint>

#include "platform/fs/AtomicFile.h"

namespace lumora {

enum class WriteResult { Ok, CannotCreate, WriteFailed };

// Writes a Windows bitmap file of 1, 4, 8, 16, 24 or 32 bits per pixel: the
// 14-byte file header, the 40-byte info header, the 5-6-5 masks with bit-field
// compression (16 bits) or the colour table of 4 bytes per entry (1, 4, 8 bits),
// then the rows bottom-up, each padded to a multiple of 4 bytes.
// `image` is what ConvertToDepth gives for that depth (Format_Mono,
// Format_Indexed8, Format_RGB16 or Format_RGB32); any other format is converted
// first. The file is replaced as a whole, or not at all: a failure keeps the old
// file. A picture whose file would pass 4 GiB fails before anything is written.
WriteResult WriteBmp(PublishTarget& target, const QImage& image, int bitsPerPixel);
inline WriteResult WriteBmp(const QString& path, const QImage& image, int bitsPerPixel) {
  PublishTarget target{path, nullptr, {}};
  return WriteBmp(target, image, bitsPerPixel);
}

// Packs 32-bit pixels into blue, green, red triples, as BMP and TGA files hold them.
void PackBgr(uint8_t* out, const QRgb* in, int width);

inline WriteResult WriteBmp24(const QString& path, const QImage& image) { return WriteBmp(path, image, 24); }

}  // namespace lumora
