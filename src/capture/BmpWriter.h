#pragma once

#include <QImage>
#include <QString>

namespace lumora {

enum class WriteResult { Ok, CannotCreate, WriteFailed };

// Writes a Windows bitmap file: the 14-byte file header, the 40-byte info header,
// then the rows bottom-up, each padded to a multiple of 4 bytes. `image` is
// Format_RGB32, written with 24 bits per pixel. The file is replaced as a whole.
WriteResult WriteBmp24(const QString& path, const QImage& image);

}  // namespace lumora
