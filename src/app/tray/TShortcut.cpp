#include "app/tray/TShortcut.h"

#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/widgets/FlatButton.h"
#include "app/tray/ShortcutChoices.h"

namespace lumora {

namespace {

QLabel* boldLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

// The dialog's height with its three rows, without the hint line.
constexpr int kHeight = 122;

}  // namespace

TShortcut::TShortcut(ShortcutSettings& shortcuts, Dialogs& dialogs, SaveShortcuts save, QWidget* parent)
    : QDialog(parent), shortcuts_(shortcuts), dialogs_(dialogs), save_(std::move(save)) {
  setObjectName(QStringLiteral("Shortcut"));
  setWindowTitle(QStringLiteral("Lumora - Shortcuts personalisieren"));
  setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(282, kHeight);

  cbScreen_ = new QComboBox(this);
  cbScreen_->setObjectName(QStringLiteral("cbScreen"));
  cbScreen_->addItems(ShortcutEntries());
  cbScreen_->setToolTip(QStringLiteral("Shortcutauswahl für die Screenshoterstellung"));
  cbAuswahl_ = new QComboBox(this);
  cbAuswahl_->setObjectName(QStringLiteral("cbAuswahl"));
  cbAuswahl_->addItems(ShortcutEntries());
  cbAuswahl_->setToolTip(QStringLiteral("Shortcutauswahl für die Bereichsauswahl"));
  cbFenster_ = new QComboBox(this);
  cbFenster_->setObjectName(QStringLiteral("cbFenster"));
  cbFenster_->addItems(ShortcutEntries());
  cbFenster_->setToolTip(QStringLiteral("Shortcutauswahl für die Aufnahme des aktiven Fensters"));

  auto* btnOK = new FlatButton(QStringLiteral("Übernehmen"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setToolTip(QStringLiteral("Fenster schließen und Änderungen übernehmen"));
  auto* btnCancel = new FlatButton(QStringLiteral("Abbrechen"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setToolTip(QStringLiteral("Das Fenster schließen und Änderungen verwerfen"));

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 6, 8, 6);
  grid->setVerticalSpacing(4);
  grid->addWidget(new QLabel(QStringLiteral("Screenshot erstellen:"), this), 0, 0);
  grid->addWidget(boldLabel(QStringLiteral("Strg-Alt  +"), this), 0, 1);
  grid->addWidget(cbScreen_, 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Bereichsauswahl:"), this), 1, 0);
  grid->addWidget(boldLabel(QStringLiteral("Strg-Alt  +"), this), 1, 1);
  grid->addWidget(cbAuswahl_, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Aktives Fenster:"), this), 2, 0);
  grid->addWidget(boldLabel(QStringLiteral("Strg-Alt  +"), this), 2, 1);
  grid->addWidget(cbFenster_, 2, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  grid->addLayout(buttons, 3, 0, 1, 3);
  lblHinweis_ = new QLabel(this);
  lblHinweis_->setObjectName(QStringLiteral("lblHinweis"));
  lblHinweis_->hide();
  grid->addWidget(lblHinweis_, 4, 0, 1, 3);

  // Only the user's choices are checked, not the setting up in showEvent.
  connect(cbScreen_, &QComboBox::activated, this, [this] { cbScreenSelect(cbScreen_); });
  connect(cbAuswahl_, &QComboBox::activated, this, [this] { cbScreenSelect(cbAuswahl_); });
  connect(cbFenster_, &QComboBox::activated, this, [this] { cbScreenSelect(cbFenster_); });
  connect(btnOK, &QPushButton::clicked, this, &TShortcut::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TShortcut::setUnavailable(const QStringList& combinations) {
  unavailable_ = combinations;
  showHint();
}

void TShortcut::setDesktopBindings(const QStringList& bindings) {
  bound_ = bindings;
  showHint();
}

void TShortcut::showHint() {
  auto german = [](QStringList list) {
    for (QString& c : list) c.replace(QLatin1String("Ctrl"), QLatin1String("Strg"));
    return list.join(QStringLiteral(", "));
  };
  QStringList lines;
  if (!unavailable_.isEmpty()) lines << QStringLiteral("Von einem anderen Programm belegt: %1").arg(german(unavailable_));
  if (!bound_.isEmpty()) lines << QStringLiteral("Vom Desktop vergeben: %1").arg(german(bound_));
  lblHinweis_->setText(lines.join(QLatin1Char('\n')));
  lblHinweis_->setWordWrap(true);
  lblHinweis_->setVisible(!lines.isEmpty());
  const int height = lines.isEmpty() ? 0 : lblHinweis_->heightForWidth(282 - 16) + 6;
  setFixedSize(282, kHeight + height);
}

QString TShortcut::hintText() const { return lblHinweis_->isHidden() ? QString() : lblHinweis_->text(); }

void TShortcut::showEvent(QShowEvent* event) {
  cbScreen_->setCurrentIndex(ShortcutIndex(shortcuts_.SC_Screen));
  cbAuswahl_->setCurrentIndex(ShortcutIndex(shortcuts_.SC_Auswahl));
  cbFenster_->setCurrentIndex(ShortcutIndex(shortcuts_.SC_Window));
  cbScreen_->setFocus();
  QDialog::showEvent(event);
}

void TShortcut::cbScreenSelect(QComboBox* changed) {
  const QString window = cbFenster_->currentText();
  if (window == cbScreen_->currentText() || window == cbAuswahl_->currentText()) {
    if (changed == cbFenster_ || cbScreen_->currentText() != cbAuswahl_->currentText()) {
      dialogs_.warning(QStringLiteral(
          "Der Shortcut für das aktive Fenster ist bereits vergeben. Bitte\n"
          "wählen Sie ein anderes Zeichen aus."));
      changed->setFocus();
      return;
    }
  }
  if (cbScreen_->currentText() != cbAuswahl_->currentText()) return;
  dialogs_.warning(QStringLiteral(
      "Die Shortcuts für den Screenshot und die Auswahl sind identisch. Bitte\n"
      "wählen Sie zwei unterschiedliche Zeichen aus."));
  changed->setFocus();
}

void TShortcut::btnOKClick() {
  // A letter that matches no entry (a hand-edited store) keeps its value.
  if (cbScreen_->currentIndex() >= 0) shortcuts_.SC_Screen = cbScreen_->currentText().at(0).toLatin1();
  if (cbAuswahl_->currentIndex() >= 0) shortcuts_.SC_Auswahl = cbAuswahl_->currentText().at(0).toLatin1();
  if (cbFenster_->currentIndex() >= 0) shortcuts_.SC_Window = cbFenster_->currentText().at(0).toLatin1();
  // A failed write says nothing.
  if (save_) save_(shortcuts_.SC_Screen, shortcuts_.SC_Auswahl, shortcuts_.SC_Window);
  accept();
}

}  // namespace lumora
