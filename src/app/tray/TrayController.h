#pragma once

#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/Hotkeys.h"
#include "settings/Settings.h"

namespace lumora {

// What the tray program's commands act on: the windows and the capture driver.
class TrayHost {
 public:
  virtual ~TrayHost() = default;
  virtual void showOptionsWindow() = 0;
  // The region selection command.
  virtual void selectRegion() = 0;
  // The capture driver; false only when the file-name prompt was cancelled.
  virtual bool makeScreenshot() = 0;
  // The capture driver on the window that has the focus; false as above.
  virtual bool makeWindowScreenshot() = 0;
  // Whether the last capture saved its picture (to a file or the clipboard).
  virtual bool lastCaptureSaved() const = 0;
  virtual void showInfoPopup() = 0;
  // The shortcut dialog; true when the user confirmed new letters.
  virtual bool runShortcutDialog() = 0;
  virtual void openTargetFolder() = 0;
  virtual void uninstallAndQuit() = 0;
  virtual void resetSettings() = 0;
  // Whether one of the program's modal boxes or dialogs is open.
  virtual bool dialogOpen() const { return false; }
};

// The tray program's commands: menu items, hotkeys, the options window's buttons
// and the interval timer, and the one guard that keeps a second capture,
// selection or dialog from starting inside a running one or while a box is open.
// Commands that arrive before start-up has finished are ignored.
class TrayController {
 public:
  TrayController(Settings& settings, Hotkeys& hotkeys, TrayHost& host);

  // Takes Ctrl+Alt+SC_Auswahl (identifier "LUMORA_1"), Ctrl+Alt+SC_Screen
  // ("LUMORA_2") and Ctrl+Alt+SC_Window ("LUMORA_3"). A combination held elsewhere is skipped without a box; it is
  // listed by unavailableHotkeys() until the next registration.
  void RegisterHotkeys();
  // The combinations another program holds, as "Ctrl+Alt+S".
  QStringList unavailableHotkeys() const { return unavailable_; }
  // Told after each registration that left combinations to other programs.
  std::function<void(const QStringList& unavailable)> onUnavailable;
  // The keys the desktop bound, where it binds them itself, as
  // "Screenshot erstellen: Ctrl+Alt+S"; empty where the program holds its keys.
  QStringList desktopBindings() const;
  // How the program is reached without a tray icon: the hotkeys it holds, by
  // their combinations, and the command that opens the options window.
  QString reachText() const;
  void UnregisterHotkeys();
  void onHotkey(uint32_t id);

  // Start-up has finished: every window exists.
  void setReady() { ready_ = true; }

  void onShowOptions();
  void onScreenshot();
  void onWindowScreenshot();
  void onSelectRegion();
  void onShortcuts();
  void onOpenTargetFolder();
  void onUninstall();
  void onResetSettings();
  // The interval timer's capture: false when it has to wait for whatever is in
  // the way (the timer then tries again).
  bool onTimerCapture();
  // A capture asked for from the command line (lumora --shot), as the capture
  // hotkey takes it: nothing when it has to wait for whatever is in the way,
  // otherwise whether the picture was saved.
  // `window`: of the active window (lumora --shot-window).
  std::optional<bool> onShotCommand(bool window = false);
  void toggleSuppressConfirmations() { suppressConfirmations_ = !suppressConfirmations_; }

  bool busy() const { return busy_; }
  uint32_t selectionId() const { return selectionId_; }
  uint32_t captureId() const { return captureId_; }
  uint32_t windowId() const { return windowId_; }

 private:
  template <typename Fn>
  bool exclusive(Fn&& fn);

  Settings& s_;
  Hotkeys& hotkeys_;
  TrayHost& host_;
  uint32_t selectionId_ = 0;
  uint32_t captureId_ = 0;
  uint32_t windowId_ = 0;
  // The hotkeys with the names the desktop shows for them.
  struct Described {
    uint32_t id;
    const char* name;  // as the desktop lists it
    const char* does;  // on the command line
    char letter;       // of Ctrl+Alt+letter
  };
  std::array<Described, 3> described() const {
    return {{{captureId_, "Screenshot erstellen", "takes a screenshot", s_.Shortcuts.SC_Screen},
             {selectionId_, "Bereichsauswahl", "chooses the capture area", s_.Shortcuts.SC_Auswahl},
             {windowId_, "Aktives Fenster", "takes the active window", s_.Shortcuts.SC_Window}}};
  }
  QStringList unavailable_;
  bool suppressConfirmations_ = false;
  bool busy_ = false;
  bool ready_ = false;
};

}  // namespace lumora
