#include "app/QtDialogs.h"

#include <QApplication>

#include "app/MessageBox.h"
#include "platform/AppInfo.h"

namespace lumora {

namespace {

// Boxes open in front of whatever the program shows; with no window of its own
// showing (the tray state) they stand alone in the middle of the screen.
bool show(MessageBox::Kind kind, const QString& title, const QString& text) {
  MessageBox box(kind, title, text, QApplication::activeWindow());
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  return box.ask();
}

}  // namespace

void QtDialogs::error(const QString& text) { show(MessageBox::Kind::Error, QStringLiteral("Fehler"), text); }

void QtDialogs::warning(const QString& text) { show(MessageBox::Kind::Warning, QStringLiteral("Warnung"), text); }

void QtDialogs::info(const QString& text) {
  show(MessageBox::Kind::Information, QStringLiteral("Information"), text);
}

bool QtDialogs::confirm(const QString& text) {
  return show(MessageBox::Kind::Question, QStringLiteral("Bestätigung"), text);
}

void QtDialogs::applicationError(const QString& text) {
  show(MessageBox::Kind::Error, QString::fromUtf8(kApplicationTitle), text);
}

}  // namespace lumora
