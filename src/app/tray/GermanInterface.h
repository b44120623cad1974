#pragma once

#include <QString>
#include <QTranslator>

class QApplication;

namespace lumora {

// The program speaks German whatever the locale: Qt's own texts (the folder
// dialog, the edit fields' context menus) come from Qt's German catalogue, and
// every window and dialog uses the program's one font. Lives as long as the
// application object.
class GermanInterface {
 public:
  explicit GermanInterface(QApplication& app);
  ~GermanInterface();
  GermanInterface(const GermanInterface&) = delete;
  GermanInterface& operator=(const GermanInterface&) = delete;

  // False when Qt's German catalogue is missing (Debian package
  // qt6-translations-l10n); Qt's dialogs then stay English.
  bool qtTranslated() const { return installed_; }
  // Where the catalogue is looked for.
  static QString QtCatalogue();

 private:
  QTranslator qt_;
  bool installed_ = false;
};

}  // namespace lumora
