#pragma once

#include <QByteArray>
#include <QHashFunctions>

#include "platform/Hotkeys.h"

namespace lumora {

// Hotkeys where a program may not take keys for itself (Wayland): the user binds
// the keys in the compositor to `lumora --shot` and `lumora --select`, so nothing
// is registered here.
class CompositorHotkeys : public Hotkeys {
 public:
  bool registerHotkey(uint32_t, char) override { return false; }
  void unregisterHotkey(uint32_t) override {}
  // Stable per name, as an X atom is; never 0.
  uint32_t identifier(const char* name) override { return (qHash(QByteArray(name)) & 0x7fffffffu) | 1u; }
  bool available() const override { return false; }
};

}  // namespace lumora
