#include "ui/widgets/QtDialogs.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <cstdio>

#include "ui/widgets/MessageBox.h"
#include "ui/widgets/AppInfo.h"

namespace lumora {

namespace {

// Boxes open in front of whatever the program shows; with no window of its own
// showing (the tray state) they stand alone in the middle of the screen.
bool showBox(MessageBox::Kind kind, const QString& title, const QString& text) {
  const QPointer<QWidget> before = QApplication::activeWindow();
  bool yes = false;
  {
    MessageBox box(kind, title, text, before);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    yes = box.ask();
  }
  // The keyboard goes back to the window that had it, not to whichever window
  // the window manager finds below the closed box (xfwm4 makes that choice a
  // moment after the box has gone: the request follows it).
  if (before)
    QTimer::singleShot(150, before, [before] {
      if (before && before->isVisible()) before->activateWindow();
    });
  return yes;
}

}  // namespace

bool QtDialogs::show(int kind, const QString& title, const QString& text) {
  if (quitting_) {
    std::fprintf(stderr, "%s: %s\n", title.toUtf8().constData(), text.toUtf8().constData());
    return false;
  }
  return showBox(MessageBox::Kind(kind), title, text);
}

void QtDialogs::error(const QString& text) { show(int(MessageBox::Kind::Error), QStringLiteral("Fehler"), text); }

void QtDialogs::warning(const QString& text) {
  show(int(MessageBox::Kind::Warning), QStringLiteral("Warnung"), text);
}

void QtDialogs::info(const QString& text) {
  show(int(MessageBox::Kind::Information), QStringLiteral("Information"), text);
}

bool QtDialogs::confirm(const QString& text) {
  return show(int(MessageBox::Kind::Question), QStringLiteral("Bestätigung"), text);
}

void QtDialogs::applicationError(const QString& text) {
  show(int(MessageBox::Kind::Error), QString::fromUtf8(kApplicationTitle), text);
}

}  // namespace lumora
