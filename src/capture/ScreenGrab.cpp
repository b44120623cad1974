#include "capture/ScreenGrab.h"

#include <thread>

#include "platform/PixelOps.h"

namespace lumora {

namespace {
const char* const kGrabFailed =
    "Die Erstellung des Screenshots ist fehlgeschlagen! Es liegt\n"
    "ein interner Fehler vor, der durch einen ungültigen Handel oder\n"
    "falsche Bereichsdaten entstanden ist. Es wird empfohlen, das\n"
    "Programm zu schließen und erneut zu starten.";
}

ScreenGrab::ScreenGrab(Screen& screen, Dialogs& dialogs, std::chrono::milliseconds delay, Wait wait)
    : screen_(screen),
      dialogs_(dialogs),
      delay_(delay),
      wait_(wait ? std::move(wait) : Wait([](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); })),
      thumbnail_(kThumbnailWidth, kThumbnailHeight, QImage::Format_RGB32) {
  thumbnail_.fill(Qt::white);
}

ScreenRect ScreenGrab::wholeScreen() const {
  const QSize size = screen_.size();
  return ScreenRect{0, 0, size.width(), size.height()};
}

bool ScreenGrab::CopyScreenRect(QImage& target, const ScreenRect& rect) {
  if (delay_.count() > 0) wait_(delay_);
  return screen_.grab(rect, target);
}

bool ScreenGrab::GrabScreen(const ScreenRect& rect) {
  if (!CopyScreenRect(grabBitmap_, rect)) {
    dialogs_.error(QString::fromUtf8(kGrabFailed));
    return false;
  }
  thumbnail_ = stretchColorOnColor(grabBitmap_, QSize(kThumbnailWidth, kThumbnailHeight));
  return true;
}

}  // namespace lumora
