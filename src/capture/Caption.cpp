#include "capture/Caption.h"

namespace lumora {

void DrawCaption(QImage& /*bitmap*/, const tBeschriftung& /*caption*/, const Clock& /*clock*/) {
  // The band arrives with the caption work; until then captures stay unstamped.
}

}  // namespace lumora
