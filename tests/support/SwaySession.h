#pragma once

#include <QImage>

#include "WaylandSession.h"

namespace lumora::test {

// Headless sway showing a known picture, with pipewire and the desktop portal
// (wlr and gtk backends).
class SwaySession : public WaylandSession {
 public:
  // `background` fills the output (`width` x `height`) exactly.
  SwaySession(const QImage& background, int width = 640, int height = 480);

  // swaymsg with the session's socket; its standard output.
  QByteArray swaymsg(const QStringList& args) const;
  // `grim` of the whole output, decoded; null when it failed.
  QImage grimPicture() const;
};

}  // namespace lumora::test
