#include "ui/InfoTab.h"

namespace lumora {

InfoTab::InfoTab(OptionsContext& context, OptionsWindow& window, QWidget* parent) : OptionsPage(context, window, parent) {}

}  // namespace lumora
