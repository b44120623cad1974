#include "app/QtDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

#include "platform/AppInfo.h"

namespace lumora {

namespace {

// Boxes open in front of whatever the program shows; with no window of its own
// showing (the tray state) they stand alone in the middle of the screen.
int showBox(QMessageBox::Icon icon, const QString& title, const QString& text, bool question) {
  QMessageBox box(icon, title, text, QMessageBox::NoButton, QApplication::activeWindow());
  box.setObjectName(QStringLiteral("Meldung"));
  QPushButton* yes = nullptr;
  if (question) {
    yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
  } else {
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
  }
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  // The texts carry their own line breaks; wrapping them again tears the lines.
  if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) label->setWordWrap(false);
  box.exec();
  return question && box.clickedButton() == yes ? 1 : 0;
}

}  // namespace

int QtDialogs::show(int icon, const QString& title, const QString& text, bool question) {
  if (quitting_) {
    std::fprintf(stderr, "%s: %s\n", title.toUtf8().constData(), text.toUtf8().constData());
    return 0;
  }
  return showBox(QMessageBox::Icon(icon), title, text, question);
}

void QtDialogs::error(const QString& text) { show(QMessageBox::Critical, QStringLiteral("Fehler"), text, false); }

void QtDialogs::warning(const QString& text) {
  show(QMessageBox::Warning, QStringLiteral("Warnung"), text, false);
}

void QtDialogs::info(const QString& text) {
  show(QMessageBox::Information, QStringLiteral("Information"), text, false);
}

bool QtDialogs::confirm(const QString& text) {
  return show(QMessageBox::Question, QStringLiteral("Bestätigung"), text, true) == 1;
}

void QtDialogs::applicationError(const QString& text) {
  show(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), text, false);
}

}  // namespace lumora
