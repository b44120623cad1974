#include "selection/SelectionOverlayLogic.h"

#include <algorithm>
#include <cstdlib>

#include "capture/ScreenGrab.h"
#include "capture/WholeScreen.h"
#include "settings/Settings.h"

namespace lumora {

SelectionOverlayLogic::SelectionOverlayLogic(ScreenGrab& grab, Dialogs& dialogs, MagnifierLogic& magnifier)
    : grab_(grab), dialogs_(dialogs), magnifier_(magnifier) {}

bool SelectionOverlayLogic::open(uint8_t captionPosition, uint8_t captionSize, const ScreenRect& current,
                                 bool wholeScreen) {
  PreviousSelection = current;
  OverlayCaptionPosition = captionPosition;
  OverlayCaptionSize = captionSize;
  const ScreenRect frozen = wholeScreen ? grab_.wholeScreen() : grab_.primaryScreen();
  origin_ = QPoint(frozen.Left, frozen.Top);
  screen_ = ScreenRect{0, 0, int32_t(frozen.width()), int32_t(frozen.height())};
  presetCentre_ = QPoint(screen_.Right / 2, screen_.Bottom / 2);
  if (wholeScreen && origin_ != QPoint(0, 0)) {
    Screen& screen = grab_.screen();
    const ScreenRect m = WholeScreenRect(wsMauszeiger, screen.monitors(), screen.pointer());
    presetCentre_ = QPoint(m.Left + int32_t(m.width() / 2), m.Top + int32_t(m.height() / 2)) - origin_;
  }
  StartX = StartY = EndX = EndY = 0;
  cursor_ = Cursor::Arrow;
  dirty_.clear();
  if (!grab_.GrabScreen(frozen)) {
    surface_ = QImage();
    return false;
  }
  // Our own copy: the rubber band is inverted into it, never into the grab.
  surface_ = grab_.GrabBitmap().convertToFormat(QImage::Format_RGB32);
  surface_.detach();
  // The magnifier starts from this run, not from where the last one ended.
  const QPoint at = grab_.screen().pointer().value_or(QPoint());
  magnifier_.ShowMousePos(at.x(), at.y());
  magnifier_.ShowSelectionSize(0, 0);
  // Asked right after the grab, the windows are those of the frozen picture.
  // The frames count from the primary monitor's corner, the overlay from its own.
  std::vector<ScreenRect> windows = windowSource_ ? windowSource_() : std::vector<ScreenRect>{};
  for (ScreenRect& w : windows)
    w = ScreenRect{w.Left - origin_.x(), w.Top - origin_.y(), w.Right - origin_.x(), w.Bottom - origin_.y()};
  snap_.reset(std::move(windows), screen_);
  outlined_.reset();
  pressedWindow_.reset();
  return true;
}

ScreenRect SelectionOverlayLogic::finish(Outcome outcome) {
  // A run ended by a key while the button is still held never sees the release
  // (the window is gone); a drag left over would make the next run's rubber
  // band follow the pointer with no button down.
  DragMode = None;
  pressedWindow_.reset();
  const QPoint o = origin_;
  switch (outcome) {
    case Outcome::Accept:
      if (StartX == EndX || StartY == EndY) {
        dialogs_.info(QString::fromUtf8(kNoAreaMessage));
        return frozenRect();
      }
      return ScreenRect{std::min(StartX, EndX) + o.x(), std::min(StartY, EndY) + o.y(), std::max(StartX, EndX) + o.x(),
                        std::max(StartY, EndY) + o.y()};
    case Outcome::Discard:
      return PreviousSelection;
    case Outcome::WholeScreen:
    case Outcome::Other:
      break;
  }
  return frozenRect();
}

std::vector<QRect> SelectionOverlayLogic::takeDirty() {
  std::vector<QRect> out;
  out.swap(dirty_);
  return out;
}

void SelectionOverlayLogic::DrawSelectionFrame(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  pen_.rectangle(surface_, x1, y1, x2, y2, &dirty_);
  if (OverlayCaptionPosition == tpOben || OverlayCaptionPosition == tpUnten) DrawCaptionLine(x1, y1, x2, y2);
}

void SelectionOverlayLogic::DrawCaptionLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int32_t y = OverlayCaptionPosition == tpOben ? std::min(y1, y2) + OverlayCaptionSize
                                                     : std::max(y1, y2) - OverlayCaptionSize;
  pen_.line(surface_, QPoint(x1, y), QPoint(x2, y), &dirty_);
}

void SelectionOverlayLogic::ClearSelection() {
  eraseFrame();
  StartX = StartY = EndX = EndY = 0;
}

void SelectionOverlayLogic::PlacePreset(int32_t w, int32_t h) {
  ClearSelection();
  const int32_t cx = presetCentre_.x(), cy = presetCentre_.y();
  StartX = cx - w / 2;
  EndX = cx + w / 2;
  StartY = cy - h / 2;
  EndY = cy + h / 2;
  DrawSelectionFrame(StartX, StartY, EndX, EndY);
}

void SelectionOverlayLogic::DrawLastSelection() {
  pen_.setStyle(RasterPen::Style::Solid);
  const ScreenRect& p = PreviousSelection;
  const QPoint o = origin_;
  pen_.rectangle(surface_, p.Left - o.x(), p.Top - o.y(), p.Right - o.x(), p.Bottom - o.y(), &dirty_);
  pen_.setStyle(RasterPen::Style::Dotted);
}

void SelectionOverlayLogic::DrawWindowOutline(const ScreenRect& r) {
  // Nested rings inside the frame, each pixel once, while there is room.
  for (int32_t i = 0; i < kOutlineWidth && r.width() > 2 * i && r.height() > 2 * i; ++i)
    outlinePen_.rectangle(surface_, r.Left + i, r.Top + i, r.Right - i, r.Bottom - i, &dirty_);
}

void SelectionOverlayLogic::outline(const std::optional<ScreenRect>& window) {
  if (window == outlined_) return;
  if (outlined_) DrawWindowOutline(*outlined_);
  outlined_ = window;
  if (outlined_) DrawWindowOutline(*outlined_);
}

void SelectionOverlayLogic::setSnapping(bool on) {
  if (!on) outline(std::nullopt);
  snap_.setEnabled(on);
}

bool SelectionOverlayLogic::HitTestSelection(int32_t x, int32_t y) {
  if (DragMode == Drawing) return false;
  const int64_t L = std::min(StartX, EndX), R = std::max(StartX, EndX);
  const int64_t T = std::min(StartY, EndY), B = std::max(StartY, EndY);
  const bool inside = L - kHitMargin <= x && x <= R + kHitMargin && T - kHitMargin <= y && y <= B + kHitMargin;
  cursor_ = inside ? Cursor::Move : Cursor::Cross;
  return inside;
}

void SelectionOverlayLogic::mouseDown(int32_t x, int32_t y, bool leftOnly) {
  // The outline belongs to the pointer at rest; the next move brings it back.
  outline(std::nullopt);
  const bool inside = HitTestSelection(x, y);
  if (DragMode == None && leftOnly) DragMode = inside ? Moving : Drawing;
  if (leftOnly && !HitTestSelection(x, y)) {
    eraseFrame();
    StartX = x;
    StartY = y;
    if (magnifier_.IsVariableSize()) {
      EndX = x;
      EndY = y;
      pressedWindow_ = snap_.at(x, y);
    } else {
      const QSize fixed = magnifier_.FixedSize();
      EndX = x + fixed.width();
      EndY = y + fixed.height();
      DrawSelectionFrame(StartX, StartY, EndX, EndY);
    }
  }
  LastMouseX = x;
  LastMouseY = y;
}

void SelectionOverlayLogic::mouseUp(int32_t x, int32_t y) {
  magnifier_.ShowMousePos(x, y);
  if (DragMode == Drawing && pressedWindow_ && WindowSnap::IsClick(StartX, StartY, EndX, EndY)) {
    eraseFrame();
    StartX = pressedWindow_->Left;
    StartY = pressedWindow_->Top;
    EndX = pressedWindow_->Right;
    EndY = pressedWindow_->Bottom;
    DrawSelectionFrame(StartX, StartY, EndX, EndY);
    magnifier_.ShowSelectionSize(int32_t(pressedWindow_->width()), int32_t(pressedWindow_->height()));
  } else {
    magnifier_.ShowSelectionSize(std::abs(EndX - StartX), std::abs(EndY - StartY));
  }
  pressedWindow_.reset();
  DragMode = None;
}

void SelectionOverlayLogic::applyMagnet() {
  const int32_t W = screen_.Right, H = screen_.Bottom;
  if (StartX <= kMagnet) {
    EndX -= StartX;
    StartX = 0;
  }
  if (StartY <= kMagnet) {
    EndY -= StartY;
    StartY = 0;
  }
  if (EndX >= W - kMagnet) {
    StartX += W - EndX;
    EndX = W;
  }
  if (EndY >= H - kMagnet) {
    StartY += H - EndY;
    EndY = H;
  }
}

void SelectionOverlayLogic::mouseMove(int32_t x, int32_t y, bool leftOnly) {
  magnifier_.ShowMousePos(x + origin_.x(), y + origin_.y());
  const bool inside = HitTestSelection(x, y);
  // Only where a click would select it is a window outlined: a press inside the
  // selection moves the selection, and a fixed size places its own rectangle.
  const std::optional<ScreenRect> window =
      DragMode == None && !inside && magnifier_.IsVariableSize() ? snap_.at(x, y) : std::nullopt;
  outline(window);
  if (DragMode == Drawing) {
    eraseFrame();
    EndX = x;
    EndY = y;
    DrawSelectionFrame(StartX, StartY, EndX, EndY);
  } else if (DragMode == Moving) {
    const int32_t dx = x - LastMouseX, dy = y - LastMouseY;
    eraseFrame();
    StartX += dx;
    EndX += dx;
    StartY += dy;
    EndY += dy;
    applyMagnet();
    DrawSelectionFrame(StartX, StartY, EndX, EndY);
  }
  // The outlined window's size, or the frame's as it now stands (not as it stood
  // before this move).
  if (window)
    magnifier_.ShowSelectionSize(int32_t(window->width()), int32_t(window->height()));
  else
    magnifier_.ShowSelectionSize(std::abs(EndX - StartX), std::abs(EndY - StartY));
  // While the user drags the edge that the caption band will cover, the view
  // looks at the line just inside the band.
  int32_t yOffset = 0;
  if (magnifier_.IsCaptionCompensated() && OverlayCaptionPosition != tpKeine && leftOnly) {
    if (OverlayCaptionPosition == tpOben && StartY >= EndY) yOffset = OverlayCaptionSize;
    if (OverlayCaptionPosition == tpUnten && StartY <= EndY) yOffset = -int32_t(OverlayCaptionSize);
  }
  magnifier_.UpdateMagnifier(x, y, surface_, yOffset);
  LastMouseX = x;
  LastMouseY = y;
}

}  // namespace lumora
