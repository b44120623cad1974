#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <functional>

#include "raster/RasterPen.h"

namespace lumora {

// The magnifier tool window's state and drawing: the numbers it shows, the
// enlarged view `Lupe` with its crosshair, and the choices the overlay reads
// (zoom, variable or fixed size, caption compensation). The choices last for the
// life of the program and are never stored.
class MagnifierLogic {
 public:
  enum class Zoom { X2, X4, X8 };  // the buttons zoom2, Zoom3, Zoom4
  static constexpr int kLupeSize = 98;
  static constexpr int kLupeCentre = 49;
  static constexpr int kCrosshairArm = 6;  // 13 pixels per line, centre included
  static constexpr int kDefaultFixedWidth = 640;
  static constexpr int kDefaultFixedHeight = 480;

  // `screen` bounds the fixed size (1 to its width, 1 to its height).
  explicit MagnifierLogic(QSize screen);
  // The screen as it is at this selection (it may have changed size since).
  void setScreen(QSize screen);

  // Called after every change of the shown numbers or of the view.
  std::function<void()> onChanged;

  void ShowMousePos(int32_t x, int32_t y);
  void ShowSelectionSize(int32_t width, int32_t height);
  bool IsVariableSize() const { return variableSize_; }
  QSize FixedSize() const { return QSize(fixedWidth_, fixedHeight_); }
  bool IsCaptionCompensated() const { return captionCompensated_; }
  uint8_t ZoomDivisor() const;
  // Redraws the view from `source` around (x, y + yOffset).
  void UpdateMagnifier(int32_t x, int32_t y, const QImage& source, int32_t yOffset);
  // Inverts the crosshair; its centre pixel is inverted twice and keeps its colour.
  void DrawCrosshair();

  // The controls' side.
  void setZoom(Zoom zoom) { zoom_ = zoom; }
  Zoom zoom() const { return zoom_; }
  void setVariableSize(bool variable) { variableSize_ = variable; }
  void setCaptionCompensated(bool on) { captionCompensated_ = on; }
  // Both are held within their ranges, as a spin edit does.
  void setFixedWidth(int width);
  void setFixedHeight(int height);
  int maxFixedWidth() const { return screen_.width() < 1 ? 1 : screen_.width(); }
  int maxFixedHeight() const { return screen_.height() < 1 ? 1 : screen_.height(); }

  int32_t mouseX() const { return mouseX_; }
  int32_t mouseY() const { return mouseY_; }
  int32_t selectionWidth() const { return selWidth_; }
  int32_t selectionHeight() const { return selHeight_; }
  // Null until the first update: the view starts empty.
  const QImage& Lupe() const { return lupe_; }

 private:
  void changed() {
    if (onChanged) onChanged();
  }

  QSize screen_;
  Zoom zoom_ = Zoom::X4;
  bool variableSize_ = true;
  bool captionCompensated_ = true;
  int fixedWidth_ = 1;
  int fixedHeight_ = 1;
  int32_t mouseX_ = 0, mouseY_ = 0, selWidth_ = 0, selHeight_ = 0;
  QImage lupe_;
  RasterPen pen_;  // black, NOT-XOR, solid
};

}  // namespace lumora
