#pragma once

#include <cstdint>

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
  virtual void showInfoPopup() = 0;
  // The shortcut dialog; true when the user confirmed new letters.
  virtual bool runShortcutDialog() = 0;
  virtual void openTargetFolder() = 0;
  virtual void uninstallAndQuit() = 0;
  virtual void resetSettings() = 0;
};

// The tray program's commands: menu items and hotkeys, and the guard that keeps a
// second capture or selection from starting inside a running one.
class TrayController {
 public:
  TrayController(Settings& settings, Hotkeys& hotkeys, TrayHost& host);

  // Takes Ctrl+Alt+SC_Auswahl (identifier "LUMORA_1") and Ctrl+Alt+SC_Screen
  // ("LUMORA_2"). A combination held elsewhere is skipped without a message.
  void RegisterHotkeys();
  void UnregisterHotkeys();
  void onHotkey(uint32_t id);

  void onShowOptions() { host_.showOptionsWindow(); }
  void onScreenshot();
  void onSelectRegion();
  void onShortcuts();
  void onOpenTargetFolder() { host_.openTargetFolder(); }
  void onUninstall() { host_.uninstallAndQuit(); }
  void onResetSettings() { host_.resetSettings(); }
  void toggleSuppressConfirmations() { suppressConfirmations_ = !suppressConfirmations_; }

  bool suppressConfirmations() const { return suppressConfirmations_; }
  bool busy() const { return busy_; }
  uint32_t selectionId() const { return selectionId_; }
  uint32_t captureId() const { return captureId_; }

 private:
  template <typename Fn>
  void exclusive(Fn&& fn);

  Settings& s_;
  Hotkeys& hotkeys_;
  TrayHost& host_;
  uint32_t selectionId_ = 0;
  uint32_t captureId_ = 0;
  bool suppressConfirmations_ = false;
  bool busy_ = false;
};

}  // namespace lumora
