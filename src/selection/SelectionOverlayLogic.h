#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/Dialogs.h"
#include "raster/RasterPen.h"
#include "platform/ScreenRect.h"
#include "selection/MagnifierLogic.h"
#include "selection/WindowSnap.h"

namespace lumora {

class ScreenGrab;

// The selection overlay without its window: the frozen picture with the rubber
// band inverted into it, the corners and drag state, the menu commands and the
// outcome of a run. With no button held, the window under the pointer is
// outlined, and a click on it makes its frame the selection. The window forwards mouse events here, paints `surface()`
// where `takeDirty()` says, and sets the cursor this class asks for.
class SelectionOverlayLogic {
 public:
  enum DragModeKind : uint8_t { None = 0, Drawing = 1, Moving = 2 };
  enum class Outcome { Accept, Discard, WholeScreen, Other };
  enum class Cursor { Arrow, Cross, Move };
  static constexpr int kHitMargin = 2;
  static constexpr int kMagnet = 10;
  // The outline of the window under the pointer is this many pixels wide, inside its frame.
  static constexpr int kOutlineWidth = 4;
  static constexpr const char* kNoAreaMessage =
      "Aus dem selektierten Bildschirmbereich resultiert keine Fläche!\n"
      "Der Auswahlbereich wurde auf den gesamten Bildschirm festgelegt.";

  // The windows on the screen, the topmost first, asked right after the freeze.
  using WindowSource = std::function<std::vector<ScreenRect>()>;

  SelectionOverlayLogic(ScreenGrab& grab, Dialogs& dialogs, MagnifierLogic& magnifier);
  void setWindowSource(WindowSource source) { windowSource_ = std::move(source); }

  // Starts a run: remembers the caller's rectangle and caption, clears the
  // corners and freezes the whole screen. False when the grab failed (its error
  // box has been shown); the run then does not take place.
  // With `wholeScreen` the picture is the whole screen as chosen (every monitor,
  // say) instead of the primary monitor; corners, presets and the magnet then
  // count in the picture's pixels, and only what goes in and out is counted from
  // the primary's corner.
  bool open(uint8_t captionPosition, uint8_t captionSize, const ScreenRect& current, bool wholeScreen = false);
  // Ends the run with `outcome` and gives the rectangle to keep.
  ScreenRect finish(Outcome outcome);

  // `leftOnly`: exactly the left button is held, no other button, no Shift,
  // Ctrl or Alt.
  void mouseDown(int32_t x, int32_t y, bool leftOnly);
  void mouseMove(int32_t x, int32_t y, bool leftOnly);
  // The release: the magnifier shows where it happened and the size that stays.
  void mouseUp(int32_t x, int32_t y);
  // A release that ends a click on a window selects that window.

  // Snapping to windows, on at each opening.
  void setSnapping(bool on);
  bool snapping() const { return snap_.enabled(); }
  // The window outlined under the pointer, if any.
  const std::optional<ScreenRect>& outlinedWindow() const { return outlined_; }

  bool HitTestSelection(int32_t x, int32_t y);
  void ClearSelection();
  void PlacePreset(int32_t w, int32_t h);
  void DrawLastSelection();

  // The frozen picture with everything drawn on it.
  const QImage& surface() const { return surface_; }
  QSize screenSize() const { return QSize(screen_.Right, screen_.Bottom); }
  ScreenRect screenRectangle() const { return screen_; }
  // Where the picture's top-left corner lies, from the primary's corner.
  QPoint origin() const { return origin_; }
  // The frozen area, from the primary's corner.
  ScreenRect frozenRect() const {
    return ScreenRect{screen_.Left + origin_.x(), screen_.Top + origin_.y(), screen_.Right + origin_.x(),
                      screen_.Bottom + origin_.y()};
  }
  Cursor cursor() const { return cursor_; }
  // The parts of the surface changed since the last call.
  std::vector<QRect> takeDirty();

  int32_t StartX = 0, StartY = 0, EndX = 0, EndY = 0;
  uint8_t DragMode = None;  // set by a press, ended by a release or the end of a run
  int32_t LastMouseX = 0, LastMouseY = 0;
  ScreenRect PreviousSelection;
  uint8_t OverlayCaptionPosition = 3;
  uint8_t OverlayCaptionSize = 0;

 private:
  void DrawSelectionFrame(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void DrawCaptionLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void eraseFrame() { DrawSelectionFrame(StartX, StartY, EndX, EndY); }
  void applyMagnet();
  // Moves the outline to `window` (nothing: no outline), erasing the old one.
  void outline(const std::optional<ScreenRect>& window);
  void DrawWindowOutline(const ScreenRect& r);

  ScreenGrab& grab_;
  Dialogs& dialogs_;
  MagnifierLogic& magnifier_;
  ScreenRect screen_;
  QPoint origin_;
  QPoint presetCentre_;  // the middle of the pointer's monitor, in picture pixels
  QImage surface_;
  RasterPen pen_{0xff000000u, RasterPen::Mix::NotXor, RasterPen::Style::Dotted};
  // Solid and kOutlineWidth wide, unlike the dotted rubber band; inverted like it.
  RasterPen outlinePen_{0xff000000u, RasterPen::Mix::NotXor, RasterPen::Style::Solid};
  Cursor cursor_ = Cursor::Arrow;
  std::vector<QRect> dirty_;
  WindowSource windowSource_;
  WindowSnap snap_;
  std::optional<ScreenRect> outlined_;
  std::optional<ScreenRect> pressedWindow_;  // the window under a press that began a rubber band
};

}  // namespace lumora
