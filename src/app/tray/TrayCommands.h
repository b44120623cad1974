#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "platform/ScreenRect.h"

#include "app/tray/TrayController.h"

namespace lumora {

class CaptureDriver;
class DesktopWindows;
class Dialogs;
class SettingsAutosave;
class SystemActions;
class TShortcut;
class TfrmAuswahl;
class TfrmAuswahlInfo;
class TfrmEingabe;
class TfrmInfo;
class TfrmMain;
class TfrmWelcome;

// What the tray program is made of: its controller, its windows (each created
// once, in their fixed order), the capture driver and the system actions.
struct TrayParts {
  std::unique_ptr<TrayController> controller;
  std::unique_ptr<TfrmWelcome> frmWelcome;
  std::unique_ptr<TfrmMain> frmMain;
  std::unique_ptr<TfrmAuswahl> frmAuswahl;
  std::unique_ptr<TfrmAuswahlInfo> frmAuswahlInfo;
  std::unique_ptr<TfrmEingabe> frmEingabe;
  std::unique_ptr<TfrmInfo> frmInfo;
  std::unique_ptr<TShortcut> shortcut;
  std::unique_ptr<CaptureDriver> driver;
  std::unique_ptr<SystemActions> actions;
  // How the desktop is asked to bring a window to the user.
  DesktopWindows* windows = nullptr;

  TrayParts();
  ~TrayParts();
};

// What the tray program's commands do once the guard let them through: each
// command is one call into the window or action that carries it out.
class TrayCommands : public TrayHost {
 public:
  // The parts are used only once start-up has finished and all of them exist.
  TrayCommands(Settings& settings, Dialogs& dialogs, SettingsAutosave& autosave, TrayParts& parts)
      : s_(settings), dialogs_(dialogs), autosave_(autosave), p_(parts) {}

  void showOptionsWindow() override;
  void selectRegion() override;
  bool makeScreenshot() override;
  bool makeWindowScreenshot() override;
  // Where the frame of the window that has the focus comes from.
  void setActiveWindow(std::function<std::optional<ScreenRect>()> source) { activeWindow_ = std::move(source); }
  bool lastCaptureSaved() const override;
  void showInfoPopup() override;
  bool runShortcutDialog() override;
  void openTargetFolder() override;
  void uninstallAndQuit() override;
  void resetSettings() override;
  bool dialogOpen() const override;

  // A combination another program holds costs the user the hotkey: said once on
  // standard error, and shown in the shortcut dialog while it is open.
  void hotkeysUnavailable(const QStringList& held);
  // The desktop told which keys it bound: the shortcut dialog names them.
  void hotkeysBound();

 private:
  Settings& s_;
  Dialogs& dialogs_;
  SettingsAutosave& autosave_;
  TrayParts& p_;
  QSet<QString> told_;
  std::function<std::optional<ScreenRect>()> activeWindow_;
};

}  // namespace lumora
