#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "app/tray/ExitSequence.h"
#include "app/tray/SettingsAutosave.h"
#include "app/tray/ShotQueue.h"
#include "app/tray/TrayCommands.h"
#include "capture/ImageSaver.h"
#include "capture/ScreenGrab.h"
#include "naming/FileNaming.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/clipboard/QtClipboard.h"
#include "platform/fs/Autostart.h"
#include "platform/ipc/LastWill.h"
#include "platform/ipc/RunningInstance.h"
#include "settings/Defaults.h"
#include "settings/RegistryOp.h"
#include "settings/Settings.h"
#include "settings/store/Registry.h"
#include "ui/OptionsWindow.h"
#include "ui/widgets/QtDialogs.h"

namespace lumora {

// The tray program's composition root: builds its services and windows once, in
// their fixed order, and wires the menu, hotkeys and commands to them.
class TrayApp {
 public:
  TrayApp(Settings& settings, const ProgramPlace& program, const Desktop& desktop);
  ~TrayApp();

  // Shows the splash; the tray icon follows when it hides.
  void start();
  // Ends the program as "Beenden" does, also while a box or dialog is open.
  void quit() { exit_.quit(); }

  // What a command from another start of lumora ("show", "select", "shot",
  // "shot-window", "quit") does; nothing for one it does not know.
  RunningInstance::Action command(const QByteArray& verb);

 private:
  Settings& s_;
  ProgramPlace program_;
  QtDialogs dialogs_;
  SystemClock clock_;
  QtClipboard clipboard_;
  std::unique_ptr<Registry> registry_;
  RegistryOp store_;
  DesktopServices desktop_;
  ScreenGrab grab_;
  FileNaming naming_;
  ImageSaver saver_;
  SettingsAutosave autosave_;
  // A display that goes away ends the program at once, inside Qt: what the user
  // changed a moment before is saved on the way out. Before start() the settings
  // in memory may not be loaded yet and are never written.
  bool started_ = false;
  LastWill lastSave_;
  std::unique_ptr<OptionsContext> context_;
  TrayParts parts_;
  TrayCommands commands_;
  ExitSequence exit_;
  Autostart autostart_;
  ShotQueue shots_;
  ShotQueue windowShots_;
};

}  // namespace lumora
