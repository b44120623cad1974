#pragma once

#include <QString>
#include <cstdint>

#include "naming/FileNaming.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "settings/Settings.h"

namespace lumora {

// What every page of the options window works with.
struct OptionsContext {
  Settings& settings;
  Dialogs& dialogs;
  const Clock& clock;
  FileNaming& naming;
  // The interval timer's tick; long unattended runs are tested with a faster one.
  int timerTickMs = 1000;
};

// The window-wide operations that the pages call: displays that span pages or
// live in the status bar, and the commands that reach beyond the window.
class OptionsWindow {
 public:
  virtual ~OptionsWindow() = default;
  // The next-file labels and status-bar panels 2 and 4.
  virtual void ShowNextFile() = 0;
  // Status-bar panel 0.
  virtual void SetStatusSize(int64_t width, int64_t height) = 0;
  // Status-bar panel 1, from Position.
  virtual void SetStatusPosition() = 0;
  // Status-bar panel 3.
  virtual void setStatusTimer(const QString& text) = 0;
  virtual void SelectRegionCommand() = 0;
  virtual void openTargetFolder() = 0;
  virtual bool timerRunning() const = 0;
  // The interval timer started or stopped: every page locks or frees its controls.
  virtual void LockForTimer() = 0;
  // The capture driver, for the big button.
  virtual bool MakeScreenshot() = 0;
  // The interval timer's capture; false when it cannot run yet because another
  // capture, the selection or a dialog is open.
  virtual bool timerCapture() {
    MakeScreenshot();
    return true;
  }
  // The selection button: the region selection command, through the same
  // one-at-a-time guard as the hotkey and the tray menu.
  virtual void selectRegionButton() { SelectRegionCommand(); }
};

}  // namespace lumora
