#pragma once

#include <QDialog>
#include <functional>

#include "platform/Dialogs.h"
#include "settings/Settings.h"

class QComboBox;
class QLabel;

namespace lumora {

// The dialog that picks the letters of the hotkeys: the two rows of capture and
// selection, and a third for the active window.
class TShortcut : public QDialog {
  Q_OBJECT
 public:
  using SaveShortcuts = std::function<bool(char screen, char auswahl, char window)>;
  TShortcut(ShortcutSettings& shortcuts, Dialogs& dialogs, SaveShortcuts save, QWidget* parent = nullptr);

  // The combinations another program holds, named on the dialog's hint line
  // (hidden when there are none).
  void setUnavailable(const QStringList& combinations);
  // The keys the desktop bound, where it binds them itself (the person may have
  // chosen others there), also named on the hint line.
  void setDesktopBindings(const QStringList& bindings);
  QString hintText() const;

  QComboBox* cbScreen() const { return cbScreen_; }
  QComboBox* cbAuswahl() const { return cbAuswahl_; }
  QComboBox* cbFenster() const { return cbFenster_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void cbScreenSelect(QComboBox* changed);
  void btnOKClick();
  void showHint();

  ShortcutSettings& shortcuts_;
  Dialogs& dialogs_;
  SaveShortcuts save_;
  QComboBox* cbScreen_;
  QComboBox* cbAuswahl_;
  QComboBox* cbFenster_;
  QLabel* lblHinweis_;
  QStringList unavailable_, bound_;
};

}  // namespace lumora
