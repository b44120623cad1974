#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

#include "platform/ScreenRect.h"

namespace lumora {

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
