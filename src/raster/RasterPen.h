#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <vector>

namespace lumora {

// A 1-pixel pen that combines its colour with the pixels below it, as rubber
// bands and crosshairs need: NotXor gives pixel := NOT(pen XOR pixel), which with
// a black pen inverts the pixel, so a figure drawn twice restores the picture;
// Mask gives pixel := pen AND pixel, for tints.
//
// Dotted pens run 3 pixels on, 3 off. The pattern starts "on" at the first pixel
// of each line or rectangle and runs on around a rectangle's corners, so that
// erasing by drawing again hits exactly the same pixels.
//
// Drawing works on Format_RGB32 / Format_ARGB32 images and is clipped to them; a
// figure partly or wholly outside keeps its pattern as if it were drawn in full.
// Every call appends the rectangles it touched (clipped, empty ones left out) to
// `dirty` when given, so that a window repaints only those.
class RasterPen {
 public:
  enum class Mix { NotXor, Mask };
  enum class Style { Solid, Dotted };

  explicit RasterPen(QRgb color = 0xff000000u, Mix mix = Mix::NotXor, Style style = Style::Solid)
      : color_(color), mix_(mix), style_(style) {}

  void setStyle(Style style) { style_ = style; }
  Style style() const { return style_; }
  Mix mix() const { return mix_; }
  QRgb color() const { return color_; }

  // A horizontal or vertical line: the start pixel is drawn, the end pixel is
  // not. Slanted lines are never needed by the program and draw nothing.
  void line(QImage& image, QPoint from, QPoint to, std::vector<QRect>* dirty = nullptr) const;
  // The outline of the rectangle (left, top, right, bottom) after ordering its
  // corners: the pixels of [left, right-1] x [top, bottom-1], each exactly once,
  // clockwise from the top-left corner. Nothing when left = right or top = bottom.
  void rectangle(QImage& image, int left, int top, int right, int bottom, std::vector<QRect>* dirty = nullptr) const;

 private:
  // `count` pixels from (x, y) in direction (dx, dy), the first of them at
  // pattern position `phase`; only the part on the image is touched.
  void run(QImage& image, long long x, long long y, int dx, int dy, long long count, long long phase,
           std::vector<QRect>* dirty) const;

  QRgb color_;
  Mix mix_;
  Style style_;
};

}  // namespace lumora
