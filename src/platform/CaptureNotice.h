#pragma once

namespace lumora {

// The desktop's own confirmation of a capture, for sessions where the program's
// badge window can neither be put in the middle of the screen nor kept from
// taking the keyboard (GNOME on Wayland gives every new window the keys).
class CaptureNotice {
 public:
  virtual ~CaptureNotice() = default;
  // Shows the confirmation; false when the desktop has no way to (the badge
  // window is shown then).
  virtual bool show() = 0;
  // Takes it away again, after the badge's time.
  virtual void close() = 0;
};

}  // namespace lumora
