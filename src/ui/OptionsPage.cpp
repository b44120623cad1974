#include "ui/OptionsPage.h"

namespace lumora {

// Anchors the class's virtual table and meta-object in this library.
OptionsPage::~OptionsPage() = default;

}  // namespace lumora
