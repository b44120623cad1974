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

// Boxes nobody sees: for work behind the scenes. A question counts as No.
class SilentDialogs : public Dialogs {
 public:
  void error(const QString&) override {}
  void warning(const QString&) override {}
  void info(const QString&) override {}
  bool confirm(const QString&) override { return false; }
  void applicationError(const QString&) override {}
};

}  // namespace lumora
