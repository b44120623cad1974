#include "platform/x11/XcbClipboardManager.h"

#include <QCoreApplication>
#include <cstdlib>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

#include "platform/x11/XcbAtom.h"

namespace lumora {

namespace {
template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;
}  // namespace

XcbClipboardManager::XcbClipboardManager(xcb_connection_t* connection) : conn_(connection) {
  if (!conn_) return;
  managerAtom_ = atom("CLIPBOARD_MANAGER");
  // A window of our own receives the manager's answer, apart from Qt's windows.
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data;
  window_ = xcb_generate_id(conn_);
  xcb_create_window(conn_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                    screen->root_visual, 0, nullptr);
  xcb_flush(conn_);
  if (QCoreApplication::instance()) QCoreApplication::instance()->installNativeEventFilter(this);
}

XcbClipboardManager::~XcbClipboardManager() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
  if (conn_ && window_) {
    xcb_destroy_window(conn_, window_);
    xcb_flush(conn_);
  }
}

uint32_t XcbClipboardManager::atom(const QByteArray& name) { return InternAtom(conn_, name.constData()); }

bool XcbClipboardManager::present() {
  if (!conn_ || managerAtom_ == XCB_ATOM_NONE) return false;
  Reply<xcb_get_selection_owner_reply_t> r(
      xcb_get_selection_owner_reply(conn_, xcb_get_selection_owner(conn_, managerAtom_), nullptr), &std::free);
  return r && r->owner != XCB_NONE;
}

void XcbClipboardManager::save(const QStringList& mimeTypes, std::function<void(bool)> done) {
  if (!conn_ || !window_) {
    done(false);
    return;
  }
  done_ = std::move(done);
  std::vector<xcb_atom_t> targets;
  for (const QString& type : mimeTypes) targets.push_back(atom(type.toLatin1()));
  const xcb_atom_t property = atom("_LUMORA_SAVE_TARGETS");
  xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, window_, property, XCB_ATOM_ATOM, 32, uint32_t(targets.size()),
                      targets.data());
  xcb_convert_selection(conn_, window_, managerAtom_, atom("SAVE_TARGETS"), property, XCB_CURRENT_TIME);
  xcb_flush(conn_);
}

bool XcbClipboardManager::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t" || !done_) return false;
  auto* event = static_cast<xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY) return false;
  auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(event);
  if (notify->requestor != window_ || notify->selection != managerAtom_) return false;
  // A manager that could not keep the content answers with no property.
  auto done = std::move(done_);
  done_ = nullptr;
  done(notify->property != XCB_ATOM_NONE);
  return true;
}

}  // namespace lumora
