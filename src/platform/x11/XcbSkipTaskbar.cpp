#include "platform/x11/XcbSkipTaskbar.h"

#include <QByteArray>
#include <QEvent>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

#include "platform/x11/XcbAtom.h"

namespace lumora {

XcbSkipTaskbar::XcbSkipTaskbar(xcb_connection_t* connection, QObject* parent) : QObject(parent), conn_(connection) {
  if (!conn_) return;
  state_ = InternAtom(conn_, "_NET_WM_STATE");
  skipTaskbar_ = InternAtom(conn_, "_NET_WM_STATE_SKIP_TASKBAR");
  skipPager_ = InternAtom(conn_, "_NET_WM_STATE_SKIP_PAGER");
  motif_ = InternAtom(conn_, "_MOTIF_WM_HINTS");
  type_ = InternAtom(conn_, "_NET_WM_WINDOW_TYPE");
  toolbar_ = InternAtom(conn_, "_NET_WM_WINDOW_TYPE_TOOLBAR");
}

bool XcbSkipTaskbar::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show || !conn_ || !state_) return false;
  // A window announces its showing before it is mapped.
  auto* window = qobject_cast<QWindow*>(watched);
  if (!window || !window->isTopLevel() || !window->handle()) return false;
  // Menus and tooltips bypass the window manager altogether.
  const Qt::WindowType type = window->type();
  if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::Desktop) return false;
  mark(uint32_t(window->winId()));
  trimFrame(*window);
  return false;
}

bool XcbSkipTaskbar::openbox() {
  if (openbox_ >= 0) return openbox_ == 1;
  openbox_ = 0;
  const uint32_t root = RootWindow(conn_);
  if (root == XCB_NONE) return false;
  const std::vector<uint32_t> check =
      PropertyValues(conn_, root, InternAtom(conn_, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 1);
  if (check.size() != 1) return false;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      conn_,
      xcb_get_property(conn_, 0, check[0], InternAtom(conn_, "_NET_WM_NAME"), InternAtom(conn_, "UTF8_STRING"), 0, 64),
      nullptr);
  QByteArray name;
  if (reply && reply->format == 8)
    name = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
  std::free(reply);
  openbox_ = name.startsWith("Openbox") ? 1 : 0;
  return openbox_ == 1;
}

// None of the program's windows may be minimised: with no taskbar button there
// would be no way back to it. Qt already leaves the minimise function out of
// the Motif hints, which xfwm4 follows; Openbox keeps its minimise button
// whatever those say and drops it only for toolbar and menu windows, so there
// the framed windows are announced as toolbars (which it still decorates and
// lets the user move, focus and close). A tool window that asks for its caption
// buttons one by one (the Toolbox) also loses the window-menu button, so that
// its narrow caption keeps room for the whole title.
void XcbSkipTaskbar::trimFrame(QWindow& window) {
  const Qt::WindowFlags flags = window.flags();
  if (flags & (Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint)) return;
  const uint32_t id = uint32_t(window.winId());
  const Qt::WindowType type = window.type();
  if (type == Qt::Tool && (flags & Qt::CustomizeWindowHint) && motif_) {
    std::vector<uint32_t> hints = PropertyValues(conn_, id, motif_, motif_, 5);
    constexpr uint32_t kDecorationsFlag = 2, kMenu = 0x10;
    if (hints.size() == 5 && (hints[0] & kDecorationsFlag) && (hints[2] & kMenu)) {
      hints[2] &= ~kMenu;
      xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, id, motif_, motif_, 32, 5, hints.data());
    }
  }
  // A window that offers minimising itself (the shortcut dialog) keeps it.
  const bool minimisable = flags & Qt::WindowMinimizeButtonHint;
  if ((type == Qt::Tool || type == Qt::Dialog || type == Qt::Window) && !minimisable && type_ && toolbar_ &&
      openbox()) {
    std::vector<uint32_t> types{toolbar_};
    for (uint32_t t : PropertyValues(conn_, id, type_, XCB_ATOM_ATOM, 16))
      if (t != toolbar_) types.push_back(t);
    xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, id, type_, XCB_ATOM_ATOM, 32, uint32_t(types.size()),
                        types.data());
  }
}

void XcbSkipTaskbar::mark(uint32_t window) {
  // Qt writes its own states into the same property when it maps the window and
  // keeps what it finds there; ours are added to what is already set.
  std::vector<uint32_t> atoms = PropertyValues(conn_, window, state_, XCB_ATOM_ATOM, 64);
  for (uint32_t atom : {skipTaskbar_, skipPager_})
    if (atom && std::find(atoms.begin(), atoms.end(), atom) == atoms.end()) atoms.push_back(atom);
  xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, window, state_, XCB_ATOM_ATOM, 32, uint32_t(atoms.size()),
                      atoms.data());
}

}  // namespace lumora
