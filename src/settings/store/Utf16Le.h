#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace lumora {

// Text as the registry keeps it: UTF-16 code units, low byte first, as they are,
// lone surrogates included.
inline QByteArray EncodeUtf16Le(QStringView text) {
  QByteArray out;
  out.reserve(text.size() * 2);
  for (QChar c : text) {
    const char16_t u = c.unicode();
    out.append(char(u & 0xFF));
    out.append(char(u >> 8));
  }
  return out;
}

// The code units of `bytes`; a trailing odd byte is left out.
inline QString DecodeUtf16Le(QByteArrayView bytes) {
  QString text(bytes.size() / 2, Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(text.data());
  for (qsizetype i = 0; i < text.size(); ++i)
    out[i] = char16_t(uint8_t(bytes[2 * i]) | (uint8_t(bytes[2 * i + 1]) << 8));
  return text;
}

}  // namespace lumora
