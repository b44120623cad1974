#pragma once

#include "ui/OptionsPage.h"

namespace lumora {

// The tab " Grafikformat ": file format, colour depth, JPEG quality.
class FormatTab : public OptionsPage {
  Q_OBJECT
 public:
  FormatTab(OptionsContext& context, OptionsWindow& window, QWidget* parent = nullptr);
};

}  // namespace lumora
