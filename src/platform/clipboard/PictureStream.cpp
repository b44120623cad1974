#include "platform/clipboard/PictureStream.h"

#include "platform/ipc/SocketIo.h"

#include <cstring>

namespace lumora::PictureStream {

using SocketIo::ReadAll;
using SocketIo::WriteAll;

namespace {

constexpr char kTag[8] = {'L', 'u', 'm', 'o', 'r', 'a', 'P', '1'};
constexpr int kHeaderSize = 16;

void putU32(char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = char((v >> (8 * i)) & 0xff);
}

uint32_t getU32(const char* p) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(p[i])) << (8 * i);
  return v;
}

}  // namespace

QByteArray Header(QSize size) {
  QByteArray header(kHeaderSize, '\0');
  std::memcpy(header.data(), kTag, sizeof kTag);
  putU32(header.data() + 8, uint32_t(size.width()));
  putU32(header.data() + 12, uint32_t(size.height()));
  return header;
}

QSize ParseHeader(const QByteArray& header) {
  if (header.size() != kHeaderSize || std::memcmp(header.constData(), kTag, sizeof kTag) != 0) return QSize();
  const uint32_t width = getU32(header.constData() + 8), height = getU32(header.constData() + 12);
  if (width == 0 || height == 0 || width > uint32_t(kMaxSide) || height > uint32_t(kMaxSide)) return QSize();
  return QSize(int(width), int(height));
}

bool Write(int fd, const QImage& picture, Clock::time_point deadline, QString& error) {
  // Other programs get true colour: a palette picture travels as the colours it shows.
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  if (ParseHeader(Header(rgb.size())).isEmpty()) {
    error = QStringLiteral("Bildgröße %1 x %2 nicht übertragbar").arg(rgb.width()).arg(rgb.height());
    return false;
  }
  const QByteArray header = Header(rgb.size());
  if (!WriteAll(fd, header.constData(), size_t(header.size()), deadline, error)) return false;
  const size_t row = size_t(rgb.width()) * 4;
  for (int y = 0; y < rgb.height(); ++y)
    if (!WriteAll(fd, reinterpret_cast<const char*>(rgb.constScanLine(y)), row, deadline, error)) return false;
  return true;
}

bool Read(int fd, QImage& picture, Clock::time_point deadline, QString& error) {
  QByteArray header(kHeaderSize, '\0');
  if (!ReadAll(fd, header.data(), size_t(header.size()), deadline, error)) return false;
  const QSize size = ParseHeader(header);
  if (size.isEmpty()) {
    error = QStringLiteral("kein gültiges Bild empfangen");
    return false;
  }
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) {
    error = QStringLiteral("Zu wenig Arbeitsspeicher.");
    return false;
  }
  const size_t row = size_t(size.width()) * 4;
  for (int y = 0; y < size.height(); ++y)
    if (!ReadAll(fd, reinterpret_cast<char*>(image.scanLine(y)), row, deadline, error)) return false;
  picture = image;
  return true;
}

}  // namespace lumora::PictureStream
