#pragma once

#include <QString>
#include <functional>

#include "platform/Dialogs.h"
#include "platform/Screensaver.h"
#include "settings/RegistryOp.h"

namespace lumora {

// The small commands of the tray menu and the options window's bottom row:
// the screensaver switch, uninstall and quit, and the reset of all settings.
class SystemActions {
 public:
  struct Hooks {
    std::function<void()> closeOptionsWindow;
    std::function<void()> closeTrayWindow;  // runs the exit sequence
    std::function<void()> resetSettings;    // defaults into settings and controls
  };

  SystemActions(Dialogs& dialogs, RegistryOp& store, Screensaver& screensaver, Hooks hooks)
      : dialogs_(dialogs), store_(store), screensaver_(screensaver), hooks_(std::move(hooks)) {}

  // Flips the switch and returns the button's new caption: the caption names the
  // state the click set. A refused switch is reported; the flag flips anyway.
  QString ToggleScreensaver();
  bool screensaverOn() const { return screensaverOn_; }

  // After Yes: removes the stored settings, marks the program uninstalled and
  // closes it without saving.
  void uninstallAndQuit();
  // After Yes: removes the stored settings and brings the defaults back; the
  // program goes on and stores them at exit.
  void ResetSettings();
  bool uninstalled() const { return uninstalled_; }

 private:
  Dialogs& dialogs_;
  RegistryOp& store_;
  Screensaver& screensaver_;
  Hooks hooks_;
  bool screensaverOn_ = false;
  bool uninstalled_ = false;
};

}  // namespace lumora
