#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace lumora {

// System-wide Ctrl+Alt+key combinations. Keys are 'A'..'Z' and '0'..'9'.
class Hotkeys {
 public:
  virtual ~Hotkeys() = default;
  // Takes Ctrl+Alt+key for `id`. False when the combination cannot be had, for
  // example because another program holds it.
  virtual bool registerHotkey(uint32_t id, char key) = 0;
  // Releases the combination of `id`; nothing happens for an unknown id.
  virtual void unregisterHotkey(uint32_t id) = 0;
  // A stable identifier for a name, the same for every program on the display.
  virtual uint32_t identifier(const char* name) = 0;
  // False where a program may not take keys for itself at all (Wayland): the
  // desktop binds keys to commands instead.
  virtual bool available() const { return true; }
  // What the combination of `id` does, in words, for desktops that list the
  // program's shortcuts; ignored elsewhere.
  virtual void describe(uint32_t, const QString&) {}
  // The keys the desktop actually bound for `id` in its own words, where the
  // desktop binds them (the person may have chosen others); empty where unknown.
  virtual QString boundTrigger(uint32_t) const { return QString(); }
  // True where the desktop decides which keys the program gets: it is asked for
  // Ctrl+Alt+key, and may bind others or none (boundTrigger() tells).
  virtual bool desktopChoosesKeys() const { return false; }

  // Called on the GUI thread when the desktop has told which keys it bound.
  std::function<void()> onBound;

  // Called on the GUI thread when a registered combination is pressed.
  std::function<void(uint32_t id)> onPressed;
};

}  // namespace lumora
