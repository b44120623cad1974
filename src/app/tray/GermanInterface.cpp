#include "app/tray/GermanInterface.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>

#include "ui/widgets/ProgramFont.h"

namespace lumora {

QString GermanInterface::QtCatalogue() {
  return QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm");
}

GermanInterface::GermanInterface(QApplication& app) {
  if (qt_.load(QtCatalogue())) installed_ = QCoreApplication::installTranslator(&qt_);
  // Without a locale of its own the system would give Qt's dialogs English
  // numbers and dates beside German words.
  if (QLocale::system().language() == QLocale::C) QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  app.setFont(ProgramFont());
}

GermanInterface::~GermanInterface() {
  if (installed_) QCoreApplication::removeTranslator(&qt_);
}

}  // namespace lumora
