#include "app/tray/ExitSequence.h"

#include <QApplication>
#include <QWidget>

#include "app/tray/SettingsAutosave.h"
#include "platform/ErrorReport.h"
#include "platform/clipboard/BackgroundClipboard.h"
#include "platform/clipboard/QtClipboard.h"
#include "ui/widgets/QtDialogs.h"

namespace lumora {

namespace {

void closeModalDialogs() {
  // Innermost first; each one's own loop ends when control gets back to it.
  for (int guard = 0; guard < 16; ++guard) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) break;
    modal->close();
    if (modal->isVisible()) modal->hide();
  }
}

}  // namespace

void ExitSequence::quit() {
  dialogs_.setQuitting(true);
  closeModalDialogs();
  steps_.closeTrayWindow();
}

void ExitSequence::run() {
  autosave_.hold(true);
  runGuarded(dialogs_, steps_.saveSettings);
  steps_.removeTrayIcon();
  steps_.releaseHotkeys();
  // A picture on the clipboard outlives the program: a holder of its own takes
  // it over, and hands it to a clipboard manager when one runs.
  runGuarded(dialogs_, [this] {
    BackgroundClipboard holder;
    clipboard_.passOn(holder);
  });
}

}  // namespace lumora
