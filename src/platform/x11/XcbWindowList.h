#pragma once

#include <QRect>
#include <cstdint>
#include <optional>
#include <vector>

struct xcb_connection_t;

namespace lumora {

// The top-level windows of an X server as the user sees them, in root-window
// pixels. Under a window manager they come from its stacking list, each client
// grown by the frame the manager drew around it (_NET_FRAME_EXTENTS) and shrunk
// by the shadow a client draws itself (_GTK_FRAME_EXTENTS); where no manager
// runs, the root's mapped children are the windows. All requests of one call go
// out together, so a call costs two or three round trips whatever the count.
class XcbWindowList {
 public:
  explicit XcbWindowList(xcb_connection_t* connection);

  // The visible windows, the topmost first, leaving out the windows in `skip`.
  std::vector<QRect> frames(const std::vector<uint32_t>& skip) const;
  // The window that has the keyboard focus: the manager's active window, or
  // without a manager the top-level holding the focus (under the pointer when the
  // focus follows it). A window in `skip` counts as none: then the topmost other
  // window is taken. Nothing when no window has the focus.
  std::optional<QRect> activeFrame(const std::vector<uint32_t>& skip) const;

 private:
  enum Atom { ClientListStacking, FrameExtents, GtkFrameExtents, ActiveWindow, WmState, WmStateHidden,
              WindowType, WindowTypeDesktop, SupportingWmCheck, AtomCount };
  // The manager's client list, bottom first, when a manager keeps one.
  std::optional<std::vector<uint32_t>> clientList() const;
  std::vector<uint32_t> rootChildren() const;
  // The frames of `windows` (nothing for those not shown), in the same order.
  std::vector<std::optional<QRect>> framesOf(const std::vector<uint32_t>& windows, bool managed) const;
  // Interned together at the first use, then kept.
  uint32_t atom(Atom a) const;

  xcb_connection_t* c_;
  uint32_t root_ = 0;
  mutable std::vector<uint32_t> atoms_;
};

}  // namespace lumora
