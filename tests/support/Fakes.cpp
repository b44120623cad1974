#include "Fakes.h"

namespace lumora::test {

QImage TestPattern(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, qRgb((x * 7 + y * 3) & 0xff, (x * 13 + y * 17) & 0xff, (x ^ y) & 0xff));
  return image;
}

}  // namespace lumora::test

#include <QProcess>

namespace lumora::test {

QImage DecodeWithImageMagick(const QString& path) {
  QProcess convert;
  convert.start(QStringLiteral("convert"), {path + QStringLiteral("[0]"), QStringLiteral("-depth"),
                                            QStringLiteral("8"), QStringLiteral("ppm:-")});
  if (!convert.waitForFinished(60000) || convert.exitCode() != 0) return QImage();
  return QImage::fromData(convert.readAllStandardOutput(), "PPM").convertToFormat(QImage::Format_RGB32);
}

}  // namespace lumora::test
