#include "ui/StatusTexts.h"

namespace lumora {

QString StatusSizeText(int64_t width, int64_t height) { return QStringLiteral("%1 x %2").arg(width).arg(height); }

QString StatusPositionText(uint8_t position) {
  switch (position) {
    case 0:
      return QStringLiteral("Oben");
    case 1:
      return QStringLiteral("Mitte");
    case 2:
      return QStringLiteral("Unten");
    default:
      return QStringLiteral("keine");
  }
}

}  // namespace lumora
