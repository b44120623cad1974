#pragma once

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>
#include <cstdint>
#include <initializer_list>

namespace lumora::test {

inline QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline uint32_t Le32(const QByteArray& b, int at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | uint8_t(b[at + i]);
  return v;
}

inline uint16_t Le16(const QByteArray& b, int at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }

inline QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray out;
  for (int v : values) out.append(char(uint8_t(v)));
  return out;
}

// Three by two pixels of known colours: palette colours of every depth and one
// dark colour that is none of them.
inline QImage KnownColours() {
  QImage image(3, 2, QImage::Format_RGB32);
  image.setPixel(0, 0, qRgb(255, 0, 0));
  image.setPixel(1, 0, qRgb(255, 255, 255));
  image.setPixel(2, 0, qRgb(10, 20, 30));
  image.setPixel(0, 1, qRgb(0, 0, 0));
  image.setPixel(1, 1, qRgb(0, 0, 255));
  image.setPixel(2, 1, qRgb(192, 192, 192));
  return image;
}

}  // namespace lumora::test
