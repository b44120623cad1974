#pragma once

#include <functional>

namespace lumora {

class QtClipboard;
class QtDialogs;
class SettingsAutosave;

// How the tray program ends. "Beenden", the uninstall action, a signal and
// `lumora --quit` all close the tray window; its closing runs the sequence once.
class ExitSequence {
 public:
  struct Steps {
    std::function<void()> saveSettings;  // the store's exit save (nothing after an uninstall)
    std::function<void()> removeTrayIcon;
    std::function<void()> releaseHotkeys;
    std::function<void()> closeTrayWindow;
  };
  ExitSequence(QtDialogs& dialogs, SettingsAutosave& autosave, QtClipboard& clipboard, Steps steps)
      : dialogs_(dialogs), autosave_(autosave), clipboard_(clipboard), steps_(std::move(steps)) {}

  // Ends the program as "Beenden" does, also while a box or dialog is open: the
  // boxes give way at once and no new one opens.
  void quit();
  // What the tray window's closing runs.
  void run();

 private:
  QtDialogs& dialogs_;
  SettingsAutosave& autosave_;
  QtClipboard& clipboard_;
  Steps steps_;
};

}  // namespace lumora
