#include "platform/fs/PathBytes.h"

namespace lumora {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at `p` (1..4), or 0 when it is not one.
int validSequence(const uint8_t* p, const uint8_t* end) {
  const uint8_t b = p[0];
  if (b < 0x80) return 1;
  int len = 0;
  uint32_t cp = 0;
  if ((b & 0xE0) == 0xC0) {
    len = 2;
    cp = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    len = 3;
    cp = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0) {
    len = 4;
    cp = b & 0x07;
  } else {
    return 0;
  }
  if (end - p < len) return 0;
  for (int i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  // Overlong forms, surrogates and values past Unicode are not valid UTF-8.
  static constexpr uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

QString DecodePath(const QByteArray& bytes) {
  QString out;
  out.reserve(bytes.size());
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
  const auto* end = p + bytes.size();
  while (p < end) {
    const int len = validSequence(p, end);
    if (len == 0) {
      out.append(QChar(char16_t(kEscapeBase + *p)));
      ++p;
    } else {
      out.append(QString::fromUtf8(reinterpret_cast<const char*>(p), len));
      p += len;
    }
  }
  return out;
}

QByteArray EncodePath(const QString& path) {
  QByteArray out;
  out.reserve(path.size());
  const qsizetype n = path.size();
  qsizetype runStart = 0;
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = path[i].unicode();
    const bool escaped = c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF &&
                         !(i > 0 && path[i - 1].isHighSurrogate());
    if (!escaped) continue;
    out += path.mid(runStart, i - runStart).toUtf8();
    out += char(c - kEscapeBase);
    runStart = i + 1;
  }
  out += path.mid(runStart).toUtf8();
  return out;
}

QByteArray PrintablePath(const QByteArray& bytes) {
  QByteArray out;
  out.reserve(bytes.size());
  for (const char ch : bytes) {
    const auto b = uint8_t(ch);
    if (b == '\\') {
      out += "\\\\";
    } else if (b == '\n') {
      out += "\\n";
    } else if (b == '\t') {
      out += "\\t";
    } else if (b < 0x20 || b == 0x7F) {
      static constexpr char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace lumora
