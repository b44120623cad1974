#pragma once

#include <QByteArray>
#include <QString>

namespace lumora {

// File names on Linux are bytes, not text. These two keep every name byte for byte
// through a QString: valid UTF-8 reads as its characters, and each byte that is not
// part of valid UTF-8 becomes a lone surrogate U+DC80..U+DCFF, which EncodePath
// turns back into that byte. (QFile::decodeName replaces such bytes, so two
// different names could become one.)
QString DecodePath(const QByteArray& bytes);
QByteArray EncodePath(const QString& path);

// A name for a terminal: its bytes, with control characters and backslashes
// written as escapes (\n, \t, \\, \xNN), so a name cannot move the cursor or
// forge a line of output.
QByteArray PrintablePath(const QByteArray& bytes);

}  // namespace lumora
