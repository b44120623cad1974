#include "ui/widgets/ProgramFont.h"

namespace lumora {

QFont ProgramFont() {
  QFont font(QStringLiteral("Arial"));
  font.setPointSizeF(8);
  return font;
}

}  // namespace lumora
