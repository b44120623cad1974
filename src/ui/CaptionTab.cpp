#include "ui/CaptionTab.h"

namespace lumora {

CaptionTab::CaptionTab(OptionsContext& context, OptionsWindow& window, QWidget* parent) : OptionsPage(context, window, parent) {}

}  // namespace lumora
