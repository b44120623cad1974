#pragma once

#include <QImage>
#include <QSize>

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
};

}  // namespace lumora
