#pragma once

#include <QSet>
#include <QString>
#include <functional>
#include <memory>

#include "platform/Desktop.h"
#include "ui/widgets/QtDialogs.h"
#include "app/tray/TrayController.h"
#include "capture/CaptureDriver.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "settings/store/Registry.h"
#include "platform/Hotkeys.h"
#include "platform/Screen.h"
#include "platform/Screensaver.h"
#include "settings/RegistryOp.h"
#include "settings/Settings.h"
#include "ui/OptionsWindow.h"

namespace lumora {

class TfrmWelcome;
class TfrmInfo;
class TfrmEingabe;
class TfrmAuswahl;
class TfrmAuswahlInfo;
class TShortcut;
class TfrmMain;
class SystemActions;
class Autostart;
class SettingsAutosave;
class XcbSkipTaskbar;

// The tray program: creates its windows once in their fixed order, wires the
// menu and hotkeys to the commands, and runs the exit sequence.
class TrayApp : public TrayHost {
 public:
  TrayApp(Settings& settings, const QString& programFolder, Backend backend = Backend::X11);
  ~TrayApp() override;

  // Shows the splash; the tray icon follows when it hides.
  void start();
  // Ends the program as "Beenden" does, also while a box or dialog is open: the
  // boxes give way at once and no new one opens.
  void quit();

  // What a command from another start of lumora ("show", "select", "shot",
  // "quit") does; nothing for one it does not know.
  std::function<void()> command(const QByteArray& verb);

  // TrayHost
  void showOptionsWindow() override;
  void selectRegion() override;
  bool makeScreenshot() override;
  void showInfoPopup() override;
  bool runShortcutDialog() override;
  void openTargetFolder() override;
  void uninstallAndQuit() override;
  void resetSettings() override;
  bool dialogOpen() const override;

 private:
  void exitSequence();
  void closeModalDialogs();

  Settings& s_;
  QString programFolder_;
  std::unique_ptr<XcbSkipTaskbar> skipTaskbar_;
  QtDialogs dialogs_;
  SystemClock clock_;
  QtClipboard clipboard_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<RegistryOp> store_;
  Backend backend_;
  std::unique_ptr<Screen> screen_;
  std::unique_ptr<ScreenGrab> grab_;
  std::unique_ptr<FileNaming> naming_;
  std::unique_ptr<ImageSaver> saver_;
  std::unique_ptr<Hotkeys> hotkeys_;
  std::unique_ptr<TrayController> controller_;
  std::unique_ptr<TfrmWelcome> frmWelcome_;
  std::unique_ptr<OptionsContext> context_;
  std::unique_ptr<TfrmMain> frmMain_;
  std::unique_ptr<TfrmAuswahl> frmAuswahl_;
  std::unique_ptr<TfrmAuswahlInfo> frmAuswahlInfo_;
  std::unique_ptr<TfrmEingabe> frmEingabe_;
  std::unique_ptr<TfrmInfo> frmInfo_;
  std::unique_ptr<TShortcut> shortcut_;
  std::unique_ptr<CaptureDriver> driver_;
  std::unique_ptr<Screensaver> screensaver_;
  std::unique_ptr<SystemActions> actions_;
  std::unique_ptr<SettingsAutosave> autosave_;
  QSet<QString> toldUnavailable_;
  std::unique_ptr<Autostart> autostart_;
};

}  // namespace lumora
