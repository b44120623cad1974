#pragma once

#include "ui/OptionsPage.h"

namespace lumora {

// The tab " Informationen ": a picture about the program.
class InfoTab : public OptionsPage {
  Q_OBJECT
 public:
  InfoTab(OptionsContext& context, OptionsWindow& window, QWidget* parent = nullptr);
};

}  // namespace lumora
