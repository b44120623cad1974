#include "ui/FormatTab.h"

namespace lumora {

FormatTab::FormatTab(OptionsContext& context, OptionsWindow& window, QWidget* parent) : OptionsPage(context, window, parent) {}

}  // namespace lumora
