#include "platform/x11/XcbSkipTaskbar.h"

#include <QEvent>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

#include "platform/x11/XcbAtom.h"

namespace lumora {

XcbSkipTaskbar::XcbSkipTaskbar(xcb_connection_t* connection, QObject* parent) : QObject(parent), conn_(connection) {
  if (!conn_) return;
  state_ = InternAtom(conn_, "_NET_WM_STATE");
  skipTaskbar_ = InternAtom(conn_, "_NET_WM_STATE_SKIP_TASKBAR");
  skipPager_ = InternAtom(conn_, "_NET_WM_STATE_SKIP_PAGER");
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
  return false;
}

void XcbSkipTaskbar::mark(uint32_t window) {
  // Qt writes its own states into the same property when it maps the window and
  // keeps what it finds there; ours are added to what is already set.
  std::vector<uint32_t> atoms;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      conn_, xcb_get_property(conn_, 0, window, state_, XCB_ATOM_ATOM, 0, 64), nullptr);
  if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply));
    atoms.assign(values, values + xcb_get_property_value_length(reply) / 4);
  }
  std::free(reply);
  for (uint32_t atom : {skipTaskbar_, skipPager_})
    if (atom && std::find(atoms.begin(), atoms.end(), atom) == atoms.end()) atoms.push_back(atom);
  xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, window, state_, XCB_ATOM_ATOM, 32, uint32_t(atoms.size()),
                      atoms.data());
}

}  // namespace lumora
