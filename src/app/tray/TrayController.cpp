#include "app/tray/TrayController.h"

namespace lumora {

TrayController::TrayController(Settings& settings, Hotkeys& hotkeys, TrayHost& host)
    : s_(settings), hotkeys_(hotkeys), host_(host) {
  selectionId_ = hotkeys_.identifier("LUMORA_1");
  captureId_ = hotkeys_.identifier("LUMORA_2");
  windowId_ = hotkeys_.identifier("LUMORA_3");
}

namespace {
QString combination(char letter) { return QStringLiteral("Ctrl+Alt+%1").arg(QLatin1Char(letter)); }
}  // namespace

void TrayController::RegisterHotkeys() {
  unavailable_.clear();
  if (!hotkeys_.available()) return;  // the desktop binds the keys to lumora --shot and --select
  for (const Described& d : described()) hotkeys_.describe(d.id, QString::fromUtf8(d.name));
  if (!hotkeys_.registerHotkey(selectionId_, s_.Shortcuts.SC_Auswahl))
    unavailable_ << combination(s_.Shortcuts.SC_Auswahl);
  if (!hotkeys_.registerHotkey(captureId_, s_.Shortcuts.SC_Screen)) unavailable_ << combination(s_.Shortcuts.SC_Screen);
  if (!hotkeys_.registerHotkey(windowId_, s_.Shortcuts.SC_Window)) unavailable_ << combination(s_.Shortcuts.SC_Window);
  if (!unavailable_.isEmpty() && onUnavailable) onUnavailable(unavailable_);
}

QStringList TrayController::desktopBindings() const {
  QStringList bound;
  for (const Described& d : described()) {
    const QString trigger = hotkeys_.boundTrigger(d.id);
    if (!trigger.isEmpty()) bound << QString::fromUtf8(d.name) + QStringLiteral(": ") + trigger;
  }
  // KDE Plasma before 6.1 takes the shortcuts without keys, for the person to assign.
  if (bound.isEmpty() && hotkeys_.desktopChoosesKeys())
    bound << QStringLiteral("keine (in den Tastatureinstellungen des Desktops zuzuweisen)");
  return bound;
}

QString TrayController::reachText() const {
  if (!hotkeys_.available())
    return QStringLiteral("bind keys in your desktop to \"lumora --shot\", \"lumora --select\" and "
                          "\"lumora --shot-window\"; "
                          "\"lumora --show\" opens the options window");
  QStringList ways;
  // Where the desktop chooses, what it bound, which need not be what was asked for.
  const bool desktop = hotkeys_.desktopChoosesKeys();
  for (const Described& d : described()) {
    const QString keys = desktop ? hotkeys_.boundTrigger(d.id) : combination(d.letter);
    if (!keys.isEmpty() && !unavailable_.contains(keys)) ways << keys + QLatin1Char(' ') + QLatin1String(d.does);
  }
  if (desktop && ways.isEmpty())
    ways << QStringLiteral("the desktop has bound no keys for Lumora (yet): assign them in its keyboard settings, "
                           "or bind keys to \"lumora --shot\", \"lumora --select\" and \"lumora --shot-window\"");
  ways << QStringLiteral("\"lumora --show\" opens the options window");
  return ways.join(QStringLiteral(", "));
}

void TrayController::UnregisterHotkeys() {
  hotkeys_.unregisterHotkey(selectionId_);
  hotkeys_.unregisterHotkey(captureId_);
  hotkeys_.unregisterHotkey(windowId_);
}

// A capture or selection shows modal boxes that keep the event loop running; a
// hotkey or menu command arriving then would nest a second one inside it, or
// grab the screen with a box on it.
template <typename Fn>
bool TrayController::exclusive(Fn&& fn) {
  if (!ready_ || busy_ || host_.dialogOpen()) return false;
  busy_ = true;
  struct Release {
    bool& flag;
    ~Release() { flag = false; }
  } release{busy_};
  fn();
  return true;
}

void TrayController::onShowOptions() {
  if (ready_) host_.showOptionsWindow();
}

void TrayController::onOpenTargetFolder() {
  if (ready_) host_.openTargetFolder();
}

void TrayController::onUninstall() {
  exclusive([this] { host_.uninstallAndQuit(); });
}

void TrayController::onResetSettings() {
  exclusive([this] { host_.resetSettings(); });
}

bool TrayController::onTimerCapture() {
  return exclusive([this] { host_.makeScreenshot(); });
}

void TrayController::onHotkey(uint32_t id) {
  if (id == selectionId_) {
    onSelectRegion();
  } else if (id == captureId_ || id == windowId_) {
    const bool window = id == windowId_;
    exclusive([this, window] {
      if ((window ? host_.makeWindowScreenshot() : host_.makeScreenshot()) && !suppressConfirmations_)
        host_.showInfoPopup();
    });
  }
}

std::optional<bool> TrayController::onShotCommand(bool window) {
  bool saved = false;
  const bool ran = exclusive([&] {
    if (!(window ? host_.makeWindowScreenshot() : host_.makeScreenshot())) return;
    saved = host_.lastCaptureSaved();
    if (!suppressConfirmations_) host_.showInfoPopup();
  });
  if (!ran) return std::nullopt;
  return saved;
}

void TrayController::onScreenshot() {
  exclusive([this] { host_.makeScreenshot(); });
}

void TrayController::onWindowScreenshot() {
  exclusive([this] { host_.makeWindowScreenshot(); });
}

void TrayController::onSelectRegion() {
  exclusive([this] { host_.selectRegion(); });
}

void TrayController::onShortcuts() {
  exclusive([this] {
    if (!host_.runShortcutDialog()) return;
    // The old combinations go before the new ones are taken, so that a changed
    // letter stops working at once and a swapped pair can be grabbed.
    UnregisterHotkeys();
    RegisterHotkeys();
  });
}

}  // namespace lumora
