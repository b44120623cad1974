#pragma once

#include <exception>
#include <new>
#include <utility>

#include <QString>

#include "platform/Dialogs.h"

namespace lumora {

// Runs one entry point of the program (menu item, button, hotkey, timer tick,
// command line) so that no exception reaches Qt's event loop: an error that no
// operation expects ends the action and is shown in the general error report.
// Returns false when an error was reported.
template <typename Fn>
bool runGuarded(Dialogs& dialogs, Fn&& fn) {
  QString message;
  try {
    std::forward<Fn>(fn)();
    return true;
  } catch (const std::bad_alloc&) {
    message = QStringLiteral("Zu wenig Arbeitsspeicher.");
  } catch (const std::exception& e) {
    message = QString::fromUtf8(e.what());
  } catch (...) {
    message = QStringLiteral("Unbekannter Fehler.");
  }
  try {
    dialogs.applicationError(message);
  } catch (...) {
    // Nothing more can be done when even the report fails.
  }
  return false;
}

}  // namespace lumora
