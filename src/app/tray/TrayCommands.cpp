#include "app/tray/TrayCommands.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <cstdio>

#include "app/tray/SettingsAutosave.h"
#include "app/tray/SystemActions.h"
#include "app/tray/TShortcut.h"
#include "app/tray/TfrmInfo.h"
#include "app/tray/TfrmWelcome.h"
#include "capture/CaptureDriver.h"
#include "naming/TfrmEingabe.h"
#include "platform/DesktopWindows.h"
#include "platform/ErrorReport.h"
#include "selection/TfrmAuswahl.h"
#include "selection/TfrmAuswahlInfo.h"
#include "ui/TfrmMain.h"

namespace lumora {

TrayParts::TrayParts() = default;
TrayParts::~TrayParts() = default;

void TrayCommands::showOptionsWindow() {
  // From any state: hidden, minimised, covered, on another desktop.
  TfrmMain& w = *p_.frmMain;
  w.setWindowState(w.windowState() & ~Qt::WindowMinimized);
  w.show();
  w.raise();
  w.activateWindow();
  if (p_.windows && w.windowHandle()) p_.windows->bringToFront(*w.windowHandle());
}

void TrayCommands::selectRegion() {
  runGuarded(dialogs_, [this] { p_.frmMain->SelectRegionCommand(); });
  autosave_.poke();  // the new rectangle
}

bool TrayCommands::makeScreenshot() {
  bool result = true;
  // An error that ends the capture is reported here; no popup follows it.
  const bool ok = runGuarded(dialogs_, [&] { result = p_.driver->MakeScreenshot(); });
  autosave_.poke();  // a capture can lengthen the prefix
  return ok && result;
}

bool TrayCommands::makeWindowScreenshot() {
  bool result = true;
  const bool ok = runGuarded(dialogs_, [&] {
    // Asked at once: the file-name prompt that may follow takes the focus itself.
    result = p_.driver->MakeWindowScreenshot(activeWindow_ ? activeWindow_() : std::nullopt);
  });
  autosave_.poke();
  return ok && result;
}

bool TrayCommands::lastCaptureSaved() const { return p_.driver->lastCaptureSaved(); }

void TrayCommands::showInfoPopup() { p_.frmInfo->showPopup(); }

bool TrayCommands::runShortcutDialog() {
  p_.shortcut->setUnavailable(p_.controller->unavailableHotkeys());
  p_.shortcut->setDesktopBindings(p_.controller->desktopBindings());
  return p_.shortcut->exec() == QDialog::Accepted;
}

void TrayCommands::openTargetFolder() {
  // Nothing is reported when the folder is missing or no file manager answers.
  QDesktopServices::openUrl(QUrl::fromLocalFile(s_.Datei.FileDir));
}

void TrayCommands::uninstallAndQuit() {
  // Nothing is written behind the deletion; the settings are gone for good.
  SettingsAutosave::Hold hold(autosave_);
  runGuarded(dialogs_, [this] { p_.actions->uninstallAndQuit(); });
  if (p_.actions->uninstalled()) hold.keep();
}

void TrayCommands::resetSettings() {
  // The defaults reach the store at exit or with the next change, as a first
  // run's do; until then the store stays deleted.
  SettingsAutosave::Hold hold(autosave_);
  runGuarded(dialogs_, [this] { p_.actions->ResetSettings(); });
  autosave_.markStored();
}

bool TrayCommands::dialogOpen() const { return QApplication::activeModalWidget() != nullptr; }

void TrayCommands::hotkeysBound() {
  if (p_.shortcut) p_.shortcut->setDesktopBindings(p_.controller->desktopBindings());
}

void TrayCommands::hotkeysUnavailable(const QStringList& held) {
  for (const QString& combination : held) {
    if (told_.contains(combination)) continue;
    told_.insert(combination);
    std::fprintf(stderr,
                 "lumora: %s is held by another program, so Lumora cannot use it; choose other letters "
                 "(Optionen > Shortcuts personalisieren...) or bind \"lumora --shot\" / \"lumora --select\" in "
                 "your desktop's keyboard settings\n",
                 combination.toUtf8().constData());
  }
  if (p_.shortcut) p_.shortcut->setUnavailable(held);
}

}  // namespace lumora
