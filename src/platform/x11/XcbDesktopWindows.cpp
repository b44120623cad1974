#include "platform/x11/XcbDesktopWindows.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

#include "platform/x11/QtConnection.h"
#include "platform/x11/XcbAtom.h"
#include "platform/x11/XcbSkipTaskbar.h"
#include "platform/x11/XcbWindowList.h"

namespace lumora {

namespace {

// The program's own top-level windows, which no list of the user's windows shows.
std::vector<uint32_t> ownWindows() {
  std::vector<uint32_t> ids;
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return ids;
  for (QWindow* w : QGuiApplication::allWindows())
    if (w->handle()) ids.push_back(uint32_t(w->winId()));
  return ids;
}

ScreenRect toScreen(const QRect& r, QPoint origin) {
  const QRect m = r.translated(-origin);
  return ScreenRect{m.left(), m.top(), m.left() + m.width(), m.top() + m.height()};
}

}  // namespace

XcbDesktopWindows::XcbDesktopWindows(std::function<QPoint()> primaryOrigin)
    : primaryOrigin_(std::move(primaryOrigin)) {}

XcbDesktopWindows::~XcbDesktopWindows() {
  if (skipTaskbar_ && QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(skipTaskbar_.get());
}

void XcbDesktopWindows::keepOffTaskbar(QCoreApplication& app) {
  skipTaskbar_ = std::make_unique<XcbSkipTaskbar>(QtXcbConnection());
  app.installEventFilter(skipTaskbar_.get());
}

void XcbDesktopWindows::flush() {
  if (xcb_connection_t* c = QtXcbConnection()) xcb_flush(c);
}

namespace {

// Window lists, the one active window, the supported requests.
std::vector<uint32_t> RootWindows(xcb_connection_t* c, const char* property, uint32_t type = XCB_ATOM_WINDOW) {
  return PropertyValues(c, RootWindow(c), InternAtom(c, property), type);
}

// A request to the window manager about `window`, marked as coming from a pager
// (source 2): the user's own wish, which focus-stealing rules let through.
void AskWindowManager(xcb_connection_t* c, uint32_t window, const char* message, uint32_t d1 = 0, uint32_t d2 = 0) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = InternAtom(c, message);
  event.data.data32[0] = 2;
  event.data.data32[1] = d1;
  event.data.data32[2] = d2;
  xcb_send_event(c, 0, RootWindow(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(c);
}

}  // namespace

void XcbDesktopWindows::bringToFront(QWindow& window) {
  xcb_connection_t* c = QtXcbConnection();
  if (!c) return;
  // Activation by a pager also takes a window out of the minimised state and
  // over to the current desktop.
  AskWindowManager(c, uint32_t(window.winId()), "_NET_ACTIVE_WINDOW", XCB_CURRENT_TIME);
}

std::function<void()> XcbDesktopWindows::keepPlace(QWindow& window) {
  xcb_connection_t* c = QtXcbConnection();
  if (!c) return {};
  const uint32_t id = uint32_t(window.winId());
  const std::vector<uint32_t> active = RootWindows(c, "_NET_ACTIVE_WINDOW");
  const bool hadKeyboard = !active.empty() && active.front() == id;
  // The windows above it, bottom to top.
  const std::vector<uint32_t> stacking = RootWindows(c, "_NET_CLIENT_LIST_STACKING");
  const auto self = std::find(stacking.begin(), stacking.end(), id);
  const std::vector<uint32_t> above(self == stacking.end() ? stacking.end() : self + 1, stacking.end());
  return [c, id, hadKeyboard, above] {
    if (hadKeyboard) {
      AskWindowManager(c, id, "_NET_ACTIVE_WINDOW", XCB_CURRENT_TIME);
      return;
    }
    if (above.empty()) return;
    const std::vector<uint32_t> supported = RootWindows(c, "_NET_SUPPORTED", XCB_ATOM_ATOM);
    if (std::find(supported.begin(), supported.end(), InternAtom(c, "_NET_RESTACK_WINDOW")) != supported.end()) {
      // Openbox: right below the window that covered it.
      constexpr uint32_t kBelow = 1;
      AskWindowManager(c, id, "_NET_RESTACK_WINDOW", above.front(), kBelow);
      return;
    }
    // xfwm4 has no such request and ignores a sibling in a plain one, but raises
    // a window that asks: the windows that covered it go back on top, in their
    // order, which leaves every window where it was. None of them gets the keyboard.
    const uint32_t raise[] = {XCB_STACK_MODE_ABOVE};
    for (uint32_t w : above) xcb_configure_window(c, w, XCB_CONFIG_WINDOW_STACK_MODE, raise);
    xcb_flush(c);
  };
}

XcbWindowList* XcbDesktopWindows::list() {
  if (!list_) {
    xcb_connection_t* c = QtXcbConnection();
    if (!c) return nullptr;
    list_ = std::make_unique<XcbWindowList>(c);
  }
  return list_.get();
}

std::vector<ScreenRect> XcbDesktopWindows::windowFrames() {
  XcbWindowList* windows = list();
  if (!windows) return {};
  const QPoint origin = primaryOrigin_ ? primaryOrigin_() : QPoint();
  std::vector<ScreenRect> out;
  for (const QRect& r : windows->frames(ownWindows())) out.push_back(toScreen(r, origin));
  return out;
}

std::optional<ScreenRect> XcbDesktopWindows::ActiveOnDisplay(QPoint primaryOrigin) {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  std::optional<QRect> r;
  if (!xcb_connection_has_error(c)) r = XcbWindowList(c).activeFrame({});
  xcb_disconnect(c);
  if (!r) return std::nullopt;
  return toScreen(*r, primaryOrigin);
}

std::optional<ScreenRect> XcbDesktopWindows::activeWindowFrame() {
  XcbWindowList* windows = list();
  if (!windows) return std::nullopt;
  const std::optional<QRect> r = windows->activeFrame(ownWindows());
  if (!r) return std::nullopt;
  return toScreen(*r, primaryOrigin_ ? primaryOrigin_() : QPoint());
}

}  // namespace lumora
