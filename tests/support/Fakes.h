#pragma once

#include <QImage>
#include <QString>
#include <vector>

#include "QtPrinters.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Screen.h"

namespace lumora::test {

// A screen that shows a fixed picture; off-screen parts grab black, like X11.
class ImageScreen : public Screen {
 public:
  explicit ImageScreen(QImage picture) : picture_(picture.convertToFormat(QImage::Format_RGB32)) {}

  QSize size() const override { return picture_.size(); }
  bool grab(const ScreenRect& rect, QImage& target) override {
    ++grabs;
    if (fail || rect.width() < 0 || rect.height() < 0) return false;
    target = QImage(int(rect.width()), int(rect.height()), QImage::Format_RGB32);
    target.fill(Qt::black);
    for (int y = 0; y < target.height(); ++y)
      for (int x = 0; x < target.width(); ++x) {
        const int sx = rect.Left + x, sy = rect.Top + y;
        if (picture_.rect().contains(sx, sy)) target.setPixel(x, y, picture_.pixel(sx, sy));
      }
    return true;
  }

  bool fail = false;
  int grabs = 0;

 private:
  QImage picture_;
};

class FixedClock : public Clock {
 public:
  QString dateText() const override { return date; }
  QString timeText() const override { return time; }
  QString date = QStringLiteral("06.12.2026");
  QString time = QStringLiteral("14:05:09");
};

class FakeClipboard : public Clipboard {
 public:
  void setImage(const QImage& image) override { images.push_back(image); }
  std::vector<QImage> images;
};

// A picture whose every pixel differs from its neighbours, for exact comparisons.
QImage TestPattern(int width, int height);

}  // namespace lumora::test

namespace lumora::test {
// Decodes a picture file with ImageMagick, independently of our own code; a null
// image when it cannot be read.
QImage DecodeWithImageMagick(const QString& path);
}  // namespace lumora::test
