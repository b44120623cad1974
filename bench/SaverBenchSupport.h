#pragma once

#include <QImage>
#include <QString>

#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Screen.h"

namespace lumora::bench {

// A picture with what photographs have: smooth gradients, some texture, edges
// and a little noise, so that encoders and colour matching see realistic input.
QImage PhotoLike(int width, int height);

// A screen showing a fixed picture; a grab is a plain copy, as fast as a shared
// memory grab.
class PictureScreen : public Screen {
 public:
  explicit PictureScreen(QImage picture) : picture_(std::move(picture)) {}
  QSize size() const override { return picture_.size(); }
  bool grab(const ScreenRect& rect, QImage& target) override;

 private:
  QImage picture_;
};

class NoClipboard : public Clipboard {
 public:
  void setImage(const QImage&) override {}
};

class NoonClock : public Clock {
 public:
  QString dateText() const override { return QStringLiteral("06.12.2026"); }
  QString timeText() const override { return QStringLiteral("12:00:00"); }
};

}  // namespace lumora::bench
