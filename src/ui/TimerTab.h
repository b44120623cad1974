#pragma once

#include "ui/OptionsPage.h"

namespace lumora {

// The tab " Zeitsteuerung ": interval timer.
class TimerTab : public OptionsPage {
  Q_OBJECT
 public:
  TimerTab(OptionsContext& context, OptionsWindow& window, QWidget* parent = nullptr);

  // Whether the interval timer runs.
  bool running() const { return false; }
};

}  // namespace lumora
