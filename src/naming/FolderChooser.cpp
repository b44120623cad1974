#include "naming/FolderChooser.h"

#include <QFileDialog>
#include <QPointer>
#include <QTimer>

namespace lumora {

namespace {
constexpr int kGiveBackMs = 150;
}  // namespace

bool ChooseFolderAndPrefix(QWidget* parent, const Settings& settings, FileNaming& naming, bool blank, bool quiet) {
  QFileDialog dialog(parent, QStringLiteral("Verzeichnis und Namenszusatz wählen"));
  // Qt's own dialog, so that the filter below is honoured the same way everywhere.
  dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // The prefix names no file yet, so any name may be typed; the pattern matches no
  // file (Qt splits patterns at blanks, hence no blanks in it), leaving only folders.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QStringLiteral("Namenszusatz (*.diese_Endung_gibt_es_nicht)"));
  dialog.setDirectory(settings.Datei.FileDir);
  dialog.selectFile(settings.Datei.FileDescription);
  dialog.setSizeGripEnabled(true);

  // Closed, the dialog hands the keyboard back to the window it was opened from,
  // not to whichever window the window manager finds below it. xfwm4 makes its
  // own choice a moment after the dialog has gone: the request follows it.
  struct GiveBack {
    QWidget* to;
    ~GiveBack() {
      if (!to) return;
      QPointer<QWidget> window = to->window();
      QTimer::singleShot(kGiveBackMs, window, [window] {
        if (window && window->isVisible()) window->activateWindow();
      });
    }
  } giveBack{parent};
  for (;;) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
      naming.folderDialogClosed(nullptr, blank, quiet);
      return false;
    }
    const QString chosen = dialog.selectedFiles().constFirst();
    // The folder of the typed name has to exist; otherwise the dialog stays.
    if (FileNaming::IsChoosablePath(chosen)) {
      naming.folderDialogClosed(&chosen, blank, quiet);
      return true;
    }
  }
}

}  // namespace lumora
