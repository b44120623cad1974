#include "naming/TfrmEingabe.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lumora {

TfrmEingabe::TfrmEingabe(const Settings& settings, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      logic_(settings, dialogs) {
  setObjectName(QStringLiteral("frmEingabe"));
  setWindowTitle(QStringLiteral("Eingabeaufforderung für Dateinamen"));
  setFixedSize(382, 92);
  setModal(true);

  GroupBox1_ = new QGroupBox(QStringLiteral(" Dateiname "), this);
  GroupBox1_->setObjectName(QStringLiteral("GroupBox1"));
  GroupBox1_->setGeometry(8, 2, 366, 52);

  edFileName_ = new QLineEdit(GroupBox1_);
  edFileName_->setObjectName(QStringLiteral("edFileName"));
  edFileName_->setGeometry(8, 20, 232, 24);
  edFileName_->setMaxLength(FileNamePromptLogic::kMaxLength);
  edFileName_->setToolTip(QStringLiteral("Geben Sie hier den gewünschten Dateinamen ein."));
  edFileName_->installEventFilter(this);

  btnText_ = new QPushButton(QStringLiteral("Beschriftungstext"), GroupBox1_);
  btnText_->setObjectName(QStringLiteral("btnText"));
  btnText_->setGeometry(246, 19, 112, 26);
  btnText_->setToolTip(QStringLiteral("Beschriftungstext als Dateiname einfügen"));

  Label1_ = new QLabel(QStringLiteral("Info:"), this);
  Label1_->setObjectName(QStringLiteral("Label1"));
  Label1_->setGeometry(10, 64, 30, 20);
  Label1_->setToolTip(QStringLiteral("Informationen zum eingegeben Dateinamen"));

  lblInfotext_ = new QLabel(QStringLiteral("---"), this);
  lblInfotext_->setObjectName(QStringLiteral("lblInfotext"));
  lblInfotext_->setGeometry(42, 64, 170, 20);
  QFont bold = lblInfotext_->font();
  bold.setBold(true);
  lblInfotext_->setFont(bold);
  lblInfotext_->setToolTip(QStringLiteral("Informationen zum eingegeben Dateinamen"));

  btnOk_ = new QPushButton(QStringLiteral("Übernehmen"), this);
  btnOk_->setObjectName(QStringLiteral("btnOk"));
  btnOk_->setGeometry(216, 60, 76, 26);
  btnOk_->setToolTip(QStringLiteral("Dateinamen bestätigen und Screenshot erstellen"));

  btnAbbruch_ = new QPushButton(QStringLiteral("Abbrechen"), this);
  btnAbbruch_->setObjectName(QStringLiteral("btnAbbruch"));
  btnAbbruch_->setGeometry(298, 60, 76, 26);
  btnAbbruch_->setToolTip(QStringLiteral("Eingabe Abbrechen. Es wird kein Screenshot erstellt."));

  // Enter belongs to the edit's own handler; no button answers it on the dialog's behalf.
  for (QPushButton* b : {btnText_, btnOk_, btnAbbruch_}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  connect(btnText_, &QPushButton::clicked, this, &TfrmEingabe::btnTextClick);
  connect(btnOk_, &QPushButton::clicked, this, &TfrmEingabe::btnOkClick);
  connect(btnAbbruch_, &QPushButton::clicked, this, &TfrmEingabe::btnAbbruchClick);
}

int TfrmEingabe::Execute() {
  lblInfotext_->setText(FileNamePromptLogic::StartInfo());
  edFileName_->setFocus();
  return exec() == QDialog::Accepted ? 1 : 2;
}

bool TfrmEingabe::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edFileName_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      btnOkClick();
      return true;
    }
    return edFileNameKeyPress(*key);
  }
  return QDialog::eventFilter(watched, event);
}

bool TfrmEingabe::edFileNameKeyPress(const QKeyEvent& event) {
  // A key whose text holds a forbidden character never reaches the edit.
  for (QChar c : event.text()) {
    QString info;
    if (logic_.keyPress(c, info) == FileNamePromptLogic::Key::Discard) {
      lblInfotext_->setText(info);
      return true;
    }
  }
  return false;
}

void TfrmEingabe::keyPressEvent(QKeyEvent* event) {
  // Escape does not close the prompt: only the buttons and the close box do.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TfrmEingabe::btnTextClick() {
  edFileName_->setText(logic_.CaptionText());
  lblInfotext_->setText(FileNamePromptLogic::CaptionInsertedInfo());
}

void TfrmEingabe::btnOkClick() {
  if (logic_.accept(edFileName_->text()) == FileNamePromptLogic::Outcome::Accepted) {
    done(QDialog::Accepted);
    return;
  }
  edFileName_->setFocus();
}

void TfrmEingabe::btnAbbruchClick() {
  logic_.cancel();
  done(QDialog::Rejected);
}

}  // namespace lumora
