#pragma once

#include <QImage>
#include <chrono>
#include <functional>

#include "platform/Dialogs.h"
#include "platform/Screen.h"
#include "settings/Settings.h"

namespace lumora {

// Copies screen rectangles and keeps the latest grab with its thumbnail.
class ScreenGrab {
 public:
  using Wait = std::function<void(std::chrono::milliseconds)>;
  static constexpr int kThumbnailWidth = 157;
  static constexpr int kThumbnailHeight = 124;
  static constexpr std::chrono::milliseconds kDefaultDelay{200};
  // The largest picture a grab makes: no side longer than this, and no more than
  // kMaxScreens times the screen's area.
  static constexpr int64_t kMaxSide = 32767;
  static constexpr int64_t kMaxScreens = 4;

  // Why a rectangle cannot be grabbed, checked before any memory is taken.
  enum class RectCheck { Ok, Empty, TooLarge };
  static RectCheck CheckRect(const ScreenRect& rect, QSize screen);

  // `wait` replaces the plain sleep before each grab (the GUI flushes its own
  // requests first; tests and benchmarks skip the wait).
  ScreenGrab(Screen& screen, Dialogs& dialogs, std::chrono::milliseconds delay = kDefaultDelay, Wait wait = {});

  // Waits, then copies the rectangle unscaled into `target`.
  bool CopyScreenRect(QImage& target, const ScreenRect& rect);
  // Copies the rectangle into GrabBitmap and refreshes Thumbnail; shows the error
  // box on failure, leaving Thumbnail as it was. An empty or oversized rectangle
  // is refused at once. `withPointer` draws the pointer into the picture where
  // the desktop hands out its image.
  bool GrabScreen(const ScreenRect& rect, bool withPointer = false);

  const QImage& GrabBitmap() const { return grabBitmap_; }
  const QImage& Thumbnail() const { return thumbnail_; }
  Screen& screen() { return screen_; }
  // What the whole screen is follows these settings from now on; the primary
  // monitor until they are given.
  void followChoice(const tBildschirm& choice) { choice_ = &choice; }
  // The whole screen as chosen: the primary monitor, the pointer's or all of them.
  ScreenRect wholeScreen() const;
  // The whole primary screen, (0, 0, width, height).
  ScreenRect primaryScreen() const;

 private:
  Screen& screen_;
  Dialogs& dialogs_;
  std::chrono::milliseconds delay_;
  Wait wait_;
  const tBildschirm* choice_ = nullptr;
  QImage grabBitmap_;
  QImage thumbnail_;
};

}  // namespace lumora
