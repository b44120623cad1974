#include "capture/CaptureDriver.h"

#include <algorithm>

#include "capture/OptionCheck.h"
#include "naming/NamingTexts.h"

namespace lumora {

namespace {

// Brings the options window back however the capture ends, also when an error
// passes through on its way to the general error report.
class ShowAgain {
 public:
  ShowAgain(CaptureView& view, bool active) : view_(view), active_(active) {}
  ~ShowAgain() {
    if (active_) view_.showAfterCapture();
  }
  ShowAgain(const ShowAgain&) = delete;
  ShowAgain& operator=(const ShowAgain&) = delete;

 private:
  CaptureView& view_;
  bool active_;
};

}  // namespace

ScreenRect CaptureDriver::WindowArea(const ScreenRect& frame, const ScreenRect& screen) {
  const ScreenRect on{std::max(frame.Left, screen.Left), std::max(frame.Top, screen.Top),
                      std::min(frame.Right, screen.Right), std::min(frame.Bottom, screen.Bottom)};
  return on.width() > 0 && on.height() > 0 ? on : frame;
}

bool CaptureDriver::MakeWindowScreenshot(const std::optional<ScreenRect>& frame) {
  if (!frame) {
    saved_ = false;
    dialogs_.error(QString::fromUtf8(kNoActiveWindow));
    return true;
  }
  return MakeScreenshot(WindowArea(*frame, grab_.wholeScreen()));
}

bool CaptureDriver::MakeScreenshot(const std::optional<ScreenRect>& area) {
  saved_ = false;
  const bool wasShowing = view_.isShowing();
  bool numbered = false;
  if (!naming_.ResolveTarget(view_.timerRunning(), prompt_, &numbered)) return false;
  numbered = numbered && !fixedTarget_;
  if (!CheckOptions(s_, dialogs_)) return true;

  if (wasShowing) view_.hideForCapture();
  ShowAgain showAgain(view_, wasShowing);

  const SelectionSettings& sel = s_.Auswahl;
  const ScreenRect rect = area       ? *area
                          : sel.Aktiv ? ScreenRect{sel.Sel_Left, sel.Sel_Top, sel.Sel_Right, sel.Sel_Bottom}
                                      : grab_.wholeScreen();
  bool captured = grab_.GrabScreen(rect, s_.Bildschirm.Mauszeiger);
  if (captured) {
    // The working copy shares GrabBitmap's pixels until the caption or the depth
    // conversion first writes to it.
    QImage working = grab_.GrabBitmap();
    // A numbered name never replaces a file: one that appeared there since the
    // proposal was made (another capture, the user) sends the picture on to the
    // next free number, and the displays follow the name actually used.
    const bool saved = saver_.SaveImage(working, s_.Datei.NextFile, s_.Datei.Clipboard, s_.Beschriftung, s_.Format,
                                        numbered ? &naming_ : nullptr);
    naming_.tellOverflow(view_.timerRunning());
    if (saved) {
      if (!saver_.publishedPath().isEmpty()) s_.Datei.NextFile = saver_.publishedPath();
      view_.showLastPicture(grab_.Thumbnail());
    } else {
      captured = false;
    }
  }
  if (captured) {
    saved_ = true;
    view_.showLastFile(s_.Datei.Clipboard ? ClipboardTarget() : s_.Datei.NextFile);
    naming_.AdvanceFileName(s_.Blank, view_.timerRunning());
    view_.showNextFile();
  }
  return true;
}

}  // namespace lumora
