#pragma once

#include <QImage>
#include <cstdint>

#include "platform/ScreenRect.h"

namespace lumora {

// The choice of the capture rectangle on a frozen copy of the screen, as the
// options window's region selection command runs it.
class RegionSelector {
 public:
  virtual ~RegionSelector() = default;
  // Freezes the screen, lets the user choose and returns the rectangle to keep
  // (`current` when discarded or when the grab failed).
  virtual ScreenRect SelectRegion(uint8_t captionPosition, uint8_t captionSize, const ScreenRect& current) = 0;
  // The frozen picture, scaled for the preview.
  virtual const QImage& Thumbnail() const = 0;
  // What that picture covers, from the primary's corner; empty for the primary
  // monitor alone.
  virtual ScreenRect frozenRect() const { return ScreenRect{}; }
};

}  // namespace lumora
