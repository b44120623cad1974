#include "ui/SelectionTab.h"

namespace lumora {

SelectionTab::SelectionTab(OptionsContext& context, OptionsWindow& window, QWidget* parent) : OptionsPage(context, window, parent) {}


void SelectionTab::selectionDone(const QImage&) {}

}  // namespace lumora
