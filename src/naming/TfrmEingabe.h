#pragma once

#include <QDialog>

#include "naming/FileNaming.h"
#include "naming/FileNamePromptLogic.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lumora {

// The file-name prompt: created once, shown modally before each capture that asks
// for a name. Its decisions live in FileNamePromptLogic.
class TfrmEingabe : public QDialog, public NamePrompt {
  Q_OBJECT

 public:
  TfrmEingabe(const Settings& settings, Dialogs& dialogs, QWidget* parent = nullptr);

  int Execute() override;
  QString PromptResult() const override { return logic_.PromptResult(); }

  // For tests and the options window's layout.
  QLineEdit* edFileName() const { return edFileName_; }
  QLabel* lblInfotext() const { return lblInfotext_; }
  QPushButton* btnText() const { return btnText_; }
  QPushButton* btnOk() const { return btnOk_; }
  QPushButton* btnAbbruch() const { return btnAbbruch_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // True when the key is discarded.
  bool edFileNameKeyPress(const QKeyEvent& event);
  void btnTextClick();
  void btnOkClick();
  void btnAbbruchClick();

  FileNamePromptLogic logic_;
  QGroupBox* GroupBox1_;
  QLineEdit* edFileName_;
  QPushButton* btnText_;
  QPushButton* btnOk_;
  QPushButton* btnAbbruch_;
  QLabel* Label1_;
  QLabel* lblInfotext_;
};

}  // namespace lumora
