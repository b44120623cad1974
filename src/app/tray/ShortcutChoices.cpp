#include "app/tray/ShortcutChoices.h"

namespace lumora {

QStringList ShortcutEntries() {
  QStringList entries;
  for (char c = 'A'; c <= 'Z'; ++c) entries << QString(QLatin1Char(c));
  for (char c = '1'; c <= '9'; ++c) entries << QString(QLatin1Char(c));
  entries << QStringLiteral("0");
  return entries;
}

int ShortcutIndex(char key) { return ShortcutEntries().indexOf(QString(QLatin1Char(key))); }

}  // namespace lumora
