#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "QtPrinters.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Hotkeys.h"
#include "platform/Screen.h"
#include "platform/Screensaver.h"

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

  std::optional<PointerImage> pointerImage() const override { return pointerPicture; }
  std::optional<QPoint> pointer() const override { return pointerAt; }
  std::vector<QRect> monitors() const override { return monitorList.empty() ? Screen::monitors() : monitorList; }
  bool refusedByDesktop() const override { return fail && refused; }

  bool fail = false;
  bool refused = false;  // with fail: the desktop keeps a "no" to screenshots
  int grabs = 0;
  std::optional<PointerImage> pointerPicture;
  std::optional<QPoint> pointerAt;
  std::vector<QRect> monitorList;  // empty: the picture is the one monitor

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

// Hotkeys that log every grab and release; `taken` holds the keys another
// program has, and one key goes to one identifier at a time.
class FakeHotkeys : public Hotkeys {
 public:
  bool registerHotkey(uint32_t id, char key) override {
    log << QStringLiteral("grab %1 %2").arg(id).arg(QLatin1Char(key));
    for (const auto& [other, k] : held)
      if (k == key) return false;  // one combination, one holder
    if (taken.contains(QLatin1Char(key))) return false;
    held[id] = key;
    return true;
  }
  void unregisterHotkey(uint32_t id) override {
    log << QStringLiteral("release %1").arg(id);
    held.erase(id);
  }
  uint32_t identifier(const char* name) override {
    const QByteArray n(name);
    return n == "LUMORA_1" ? 301 : n == "LUMORA_3" ? 303 : 302;
  }

  bool desktopChoosesKeys() const override { return desktop; }
  QString boundTrigger(uint32_t id) const override { return bound.count(id) ? bound.at(id) : QString(); }

  QStringList log;
  std::map<uint32_t, char> held;
  QString taken;  // keys another program holds
  bool desktop = false;               // the desktop decides the keys,
  std::map<uint32_t, QString> bound;  // and bound these
};

// A screensaver switch that records each call and refuses while `works` is false.
class FakeScreensaver : public Screensaver {
 public:
  bool setActive(bool on) override {
    calls.push_back(on);
    return works;
  }
  std::vector<bool> calls;
  bool works = true;
};

// A picture whose every pixel differs from its neighbours, for exact comparisons.
QImage TestPattern(int width, int height);

}  // namespace lumora::test

namespace lumora::test {
// Decodes a picture file with ImageMagick, independently of our own code; a null
// image when it cannot be read.
QImage DecodeWithImageMagick(const QString& path);
}  // namespace lumora::test
