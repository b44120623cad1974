#include "platform/x11/XcbDesktopWindows.h"

#include <QCoreApplication>
#include <xcb/xcb.h>

#include "platform/x11/QtConnection.h"
#include "platform/x11/XcbSkipTaskbar.h"

namespace lumora {

XcbDesktopWindows::XcbDesktopWindows() = default;

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

}  // namespace lumora
