#include "capture/ScreenGrab.h"

#include <algorithm>
#include <thread>

#include "capture/WholeScreen.h"
#include "raster/PixelOps.h"

namespace lumora {

namespace {
const char* const kGrabFailed =
    "Die Erstellung des Screenshots ist fehlgeschlagen! Es liegt\n"
    "ein interner Fehler vor, der durch einen ungültigen Handel oder\n"
    "falsche Bereichsdaten entstanden ist. Es wird empfohlen, das\n"
    "Programm zu schließen und erneut zu starten.";
// The person once said no when the desktop asked, and the desktop keeps that answer.
const char* const kRefused =
    "Die Erstellung des Screenshots ist fehlgeschlagen! Der Desktop lehnt\n"
    "Screenshots für Lumora ab, seit seine Frage danach verneint wurde.\n"
    "Erlaubt werden sie wieder mit dem Befehl:\n\n"
    "gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore "
    "--object-path /org/freedesktop/impl/portal/PermissionStore --method "
    "org.freedesktop.impl.portal.PermissionStore.SetPermission "
    "screenshot true screenshot '' \"['yes']\"";
const char* const kTooLarge =
    "Der Bereich ist zu groß für einen Screenshot (%1 x %2 Pixel).\n"
    "Erlaubt sind höchstens 32767 Pixel je Seite und das Vierfache\n"
    "der Bildschirmfläche. Bitte wählen Sie einen kleineren Bereich.";
}

ScreenGrab::ScreenGrab(Screen& screen, Dialogs& dialogs, std::chrono::milliseconds delay, Wait wait)
    : screen_(screen),
      dialogs_(dialogs),
      delay_(delay),
      wait_(wait ? std::move(wait) : Wait([](std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); })),
      thumbnail_(kThumbnailWidth, kThumbnailHeight, QImage::Format_RGB32) {
  thumbnail_.fill(Qt::white);
}

ScreenRect ScreenGrab::primaryScreen() const {
  const QSize size = screen_.size();
  return ScreenRect{0, 0, size.width(), size.height()};
}

ScreenRect ScreenGrab::wholeScreen() const {
  if (!choice_ || choice_->Bereich == wsPrimaer) return primaryScreen();
  return WholeScreenRect(choice_->Bereich, screen_.monitors(), screen_.pointer());
}

ScreenGrab::RectCheck ScreenGrab::CheckRect(const ScreenRect& rect, QSize screen) {
  const int64_t w = rect.width(), h = rect.height();
  if (w <= 0 || h <= 0) return RectCheck::Empty;
  const int64_t screenArea = std::max<int64_t>(int64_t(screen.width()) * screen.height(), 1);
  if (w > kMaxSide || h > kMaxSide || w * h > kMaxScreens * screenArea) return RectCheck::TooLarge;
  return RectCheck::Ok;
}

bool ScreenGrab::CopyScreenRect(QImage& target, const ScreenRect& rect) {
  if (delay_.count() > 0) wait_(delay_);
  return screen_.grab(rect, target);
}

bool ScreenGrab::GrabScreen(const ScreenRect& rect, bool withPointer) {
  // Several monitors make a larger screen than the primary alone.
  const ScreenRect all = WholeScreenRect(wsAlle, screen_.monitors(), std::nullopt);
  const QSize area(int(std::max<int64_t>(all.width(), screen_.size().width())),
                   int(std::max<int64_t>(all.height(), screen_.size().height())));
  switch (CheckRect(rect, area)) {
    case RectCheck::Ok:
      break;
    case RectCheck::TooLarge:
      dialogs_.error(QString::fromUtf8(kTooLarge).arg(rect.width()).arg(rect.height()));
      return false;
    case RectCheck::Empty:
      dialogs_.error(QString::fromUtf8(kGrabFailed));
      return false;
  }
  if (!CopyScreenRect(grabBitmap_, rect)) {
    dialogs_.error(QString::fromUtf8(screen_.refusedByDesktop() ? kRefused : kGrabFailed));
    return false;
  }
  if (withPointer) {
    // Asked right after the grab, so that picture and pointer belong together.
    if (const std::optional<PointerImage> pointer = screen_.pointerImage())
      blendPremultiplied(grabBitmap_, pointer->image, pointer->topLeft - QPoint(rect.Left, rect.Top));
  }
  thumbnail_ = stretchColorOnColor(grabBitmap_, QSize(kThumbnailWidth, kThumbnailHeight));
  return true;
}

}  // namespace lumora
