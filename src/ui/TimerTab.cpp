#include "ui/TimerTab.h"

namespace lumora {

TimerTab::TimerTab(OptionsContext& context, OptionsWindow& window, QWidget* parent) : OptionsPage(context, window, parent) {}


}  // namespace lumora
