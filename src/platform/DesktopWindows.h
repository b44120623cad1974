#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/ScreenRect.h"

class QCoreApplication;
class QWindow;

namespace lumora {

// How the desktop treats the program's own windows.
class DesktopWindows {
 public:
  virtual ~DesktopWindows() = default;
  // Keeps every top-level window of `app` out of the taskbar and the pager from
  // the moment it is shown: a tray program has no taskbar button, neither for its
  // options window nor for a box or the selection overlay.
  virtual void keepOffTaskbar(QCoreApplication& app) = 0;
  // Sends what the program asked of the desktop so far (windows it hid), so that
  // a grab that follows does not find them still on the screen.
  virtual void flush() = 0;
  // Whether the desktop places top-level windows itself (Wayland compositors): a
  // window that must cover the primary monitor then asks to be full-screen there
  // instead of placing itself.
  virtual bool placesWindows() const = 0;
  // Brings `window` to the user from wherever it is (minimised, covered, on
  // another desktop): shown, raised and given the keyboard, as a pager asks for
  // it. Window managers may refuse what the program asks for itself.
  virtual void bringToFront(QWindow& window) { (void)window; }
  // Notes where `window` stands before it is hidden for a moment; the call it
  // returns, made right after the window is shown again, puts it back there:
  // below the windows that covered it, and with the keyboard only if it had it.
  // Empty where the desktop keeps no such order for the program.
  virtual std::function<void()> keepPlace(QWindow& window) {
    (void)window;
    return {};
  }

  // The visible top-level windows with their outer frames (decorations included,
  // client-side shadows left out), the topmost first, in pixels from the primary
  // monitor's top-left corner; the program's own windows are left out. Empty
  // where the desktop gives no window geometry.
  virtual std::vector<ScreenRect> windowFrames() { return {}; }
  // The outer frame of the window that has the focus, as above; nothing where no
  // window has it or the desktop does not say.
  virtual std::optional<ScreenRect> activeWindowFrame() { return std::nullopt; }
};

}  // namespace lumora
