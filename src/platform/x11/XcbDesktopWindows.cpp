#include "platform/x11/XcbDesktopWindows.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>
#include <xcb/xcb.h>

#include "platform/x11/QtConnection.h"
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
