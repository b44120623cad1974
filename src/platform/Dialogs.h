#pragma once

#include <QString>

namespace lumora {

// The program's modal message boxes. Texts use '\n' for their line breaks.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // "Fehler", one OK button.
  virtual void error(const QString& text) = 0;
  // "Warnung", one OK button.
  virtual void warning(const QString& text) = 0;
  // "Information", one OK button.
  virtual void info(const QString& text) = 0;
  // "Bestätigung", "&Ja" and "&Nein"; true only for Yes.
  virtual bool confirm(const QString& text) = 0;
  // The general error report: the application title as caption, error icon, OK.
  virtual void applicationError(const QString& text) = 0;
};

}  // namespace lumora
