#include "platform/x11/XcbHotkeys.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include "platform/x11/XcbAtom.h"

namespace lumora {

namespace {

constexpr uint16_t kModifiers = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;  // Ctrl+Alt
// NumLock is Mod2 on every common layout.
constexpr uint16_t kLockVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

xcb_keysym_t keysymFor(char key) {
  if (key >= 'A' && key <= 'Z') return xcb_keysym_t(key - 'A' + 'a');  // XK_a..XK_z
  if (key >= '0' && key <= '9') return xcb_keysym_t(key);               // XK_0..XK_9
  return 0;
}

}  // namespace

XcbHotkeys::XcbHotkeys(xcb_connection_t* connection) : conn_(connection) {
  if (!conn_) return;
  root_ = RootWindow(conn_);
  symbols_ = xcb_key_symbols_alloc(conn_);
  if (QCoreApplication::instance()) QCoreApplication::instance()->installNativeEventFilter(this);
}

XcbHotkeys::~XcbHotkeys() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
  while (!grabs_.empty()) unregisterHotkey(grabs_.begin()->first);
  if (symbols_) xcb_key_symbols_free(symbols_);
  if (conn_) xcb_flush(conn_);
}

uint32_t XcbHotkeys::identifier(const char* name) { return InternAtom(conn_, name); }

std::vector<uint8_t> XcbHotkeys::keycodesFor(char key) const {
  std::vector<uint8_t> out;
  const xcb_keysym_t sym = keysymFor(key);
  if (!symbols_ || !sym) return out;
  xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols_, sym);
  for (xcb_keycode_t* c = codes; c && *c != XCB_NO_SYMBOL; ++c) out.push_back(*c);
  std::free(codes);
  return out;
}

bool XcbHotkeys::grabKeycode(uint8_t keycode) {
  size_t done = 0;
  for (uint16_t lock : kLockVariants) {
    xcb_generic_error_t* err = xcb_request_check(
        conn_, xcb_grab_key_checked(conn_, 1, root_, kModifiers | lock, keycode, XCB_GRAB_MODE_ASYNC,
                                    XCB_GRAB_MODE_ASYNC));
    if (err) {  // BadAccess: another client holds this variant
      std::free(err);
      for (size_t i = 0; i < done; ++i) xcb_ungrab_key(conn_, keycode, root_, kModifiers | kLockVariants[i]);
      xcb_flush(conn_);
      return false;
    }
    ++done;
  }
  return true;
}

void XcbHotkeys::ungrabKeycode(uint8_t keycode) {
  for (uint16_t lock : kLockVariants) xcb_ungrab_key(conn_, keycode, root_, kModifiers | lock);
}

bool XcbHotkeys::registerHotkey(uint32_t id, char key) {
  if (!conn_) return false;
  unregisterHotkey(id);
  Grab grab{key, {}};
  for (uint8_t code : keycodesFor(key)) {
    // Another registration of ours may hold the same keycode already.
    bool ours = false;
    for (const auto& [otherId, other] : grabs_)
      for (uint8_t c : other.keycodes) ours = ours || c == code;
    if (!ours && grabKeycode(code)) grab.keycodes.push_back(code);
  }
  xcb_flush(conn_);
  if (grab.keycodes.empty()) return false;
  grabs_[id] = std::move(grab);
  return true;
}

void XcbHotkeys::unregisterHotkey(uint32_t id) {
  auto it = grabs_.find(id);
  if (it == grabs_.end()) return;
  for (uint8_t code : it->second.keycodes) ungrabKeycode(code);
  xcb_flush(conn_);
  grabs_.erase(it);
}

void XcbHotkeys::regrabAll() {
  std::map<uint32_t, char> keys;
  for (const auto& [id, grab] : grabs_) keys[id] = grab.key;
  for (const auto& [id, key] : keys) unregisterHotkey(id);
  for (const auto& [id, key] : keys) registerHotkey(id, key);
}

bool XcbHotkeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t" || !conn_) return false;
  auto* event = static_cast<xcb_generic_event_t*>(message);
  const uint8_t type = event->response_type & 0x7f;
  if (type == XCB_MAPPING_NOTIFY) {
    auto* mapping = reinterpret_cast<xcb_mapping_notify_event_t*>(event);
    if (mapping->request == XCB_MAPPING_KEYBOARD || mapping->request == XCB_MAPPING_MODIFIER) {
      xcb_refresh_keyboard_mapping(symbols_, mapping);
      regrabAll();
    }
    return false;  // Qt wants to see mapping changes too
  }
  if (type != XCB_KEY_PRESS) return false;
  auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
  if (press->event != root_) return false;
  const uint16_t state = press->state & ~(XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2);
  if ((state & 0xff) != kModifiers) return false;
  for (const auto& [id, grab] : grabs_)
    for (uint8_t code : grab.keycodes)
      if (code == press->detail) {
        // The action may open boxes with event loops of their own; it runs from the
        // main loop, not from inside this filter.
        QMetaObject::invokeMethod(
            &context_, [this, id = id] { if (onPressed) onPressed(id); }, Qt::QueuedConnection);
        return true;
      }
  return false;
}

}  // namespace lumora
