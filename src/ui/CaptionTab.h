#pragma once

#include "ui/OptionsPage.h"

namespace lumora {

// The tab " Beschriftung ": caption band and its previews.
class CaptionTab : public OptionsPage {
  Q_OBJECT
 public:
  CaptionTab(OptionsContext& context, OptionsWindow& window, QWidget* parent = nullptr);
};

}  // namespace lumora
