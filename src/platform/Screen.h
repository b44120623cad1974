#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QRect>
#include <functional>
#include <optional>
#include <vector>

#include "platform/ScreenRect.h"

namespace lumora {

// The pointer as it looks: its picture (Format_ARGB32_Premultiplied) and where that
// picture's top-left corner is, in screen pixels (the pointer less its hotspot).
struct PointerImage {
  QImage image;
  QPoint topLeft;
};

// The primary screen: its size and copies of its pixels.
class Screen {
 public:
  virtual ~Screen() = default;
  // Width and height of the primary screen in pixels.
  virtual QSize size() const = 0;
  // Copies the rectangle unscaled into `target` (Format_RGB32, resized to the
  // rectangle). The part outside the screen is black. False when the rectangle
  // is not normalised, too large, or the screen cannot be read.
  virtual bool grab(const ScreenRect& rect, QImage& target) = 0;
  // Where the pointer is, in the same pixels; nothing where it cannot be asked.
  virtual std::optional<QPoint> pointer() const { return std::nullopt; }
  // Every monitor in the same pixels, the primary first; the primary alone where
  // the desktop does not tell.
  virtual std::vector<QRect> monitors() const { return {QRect(QPoint(0, 0), size())}; }
  // The pointer's picture as the desktop draws it now; nothing where the desktop
  // does not hand it out (Wayland: the portal decides what its pictures show).
  virtual std::optional<PointerImage> pointerImage() const { return std::nullopt; }
  // Why the last grab failed, in one line, where the desktop says more than
  // "failed" (a refusal or silence of the desktop portal); empty otherwise.
  virtual QString lastError() const { return QString(); }
  // Whether the last grab failed because the desktop keeps a "no" to screenshots
  // by this program (the person denied them when it asked).
  virtual bool refusedByDesktop() const { return false; }

  // Called on the GUI thread, once per grab, when the desktop takes long to answer
  // (it may be asking the person whether the program may take screenshots), with
  // what the grab waits for, in one line.
  std::function<void(const QString& waitingFor)> onWaiting;
};

}  // namespace lumora
