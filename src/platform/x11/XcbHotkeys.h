#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <map>
#include <vector>

#include "platform/Hotkeys.h"

struct xcb_connection_t;
struct _XCBKeySymbols;

namespace lumora {

// Hotkeys as passive key grabs on the X root window. Each combination is grabbed
// with every NumLock/CapsLock variant, so the lock keys do not get in the way,
// and grabbed again when the keyboard mapping changes.
class XcbHotkeys : public Hotkeys, public QAbstractNativeEventFilter {
 public:
  // `connection` is the GUI's own X connection; events arrive through Qt's
  // native event filter, which the object installs on the application.
  explicit XcbHotkeys(xcb_connection_t* connection);
  ~XcbHotkeys() override;
  XcbHotkeys(const XcbHotkeys&) = delete;
  XcbHotkeys& operator=(const XcbHotkeys&) = delete;

  bool registerHotkey(uint32_t id, char key) override;
  void unregisterHotkey(uint32_t id) override;
  uint32_t identifier(const char* name) override;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  struct Grab {
    char key;
    std::vector<uint8_t> keycodes;  // the keycodes grabbed for it
  };
  std::vector<uint8_t> keycodesFor(char key) const;
  bool grabKeycode(uint8_t keycode);
  void ungrabKeycode(uint8_t keycode);
  void regrabAll();

  xcb_connection_t* conn_;
  uint32_t root_ = 0;
  _XCBKeySymbols* symbols_ = nullptr;
  std::map<uint32_t, Grab> grabs_;
  QObject context_;  // queued presses die with the object
};

}  // namespace lumora
