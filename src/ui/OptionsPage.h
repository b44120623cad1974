#pragma once

#include <QWidget>

#include "ui/OptionsWindow.h"

namespace lumora {

// One tab of the options window: a thin widget over its own logic.
class OptionsPage : public QWidget {
  Q_OBJECT
 public:
  OptionsPage(OptionsContext& context, OptionsWindow& window, QWidget* parent = nullptr)
      : QWidget(parent), ctx_(context), window_(window) {}
  ~OptionsPage() override;

  // Puts the settings into the controls: after loading, after the defaults.
  virtual void loadFromSettings() {}
  // This page's share of the window's initial state (derived displays).
  virtual void initWindowState() {}
  // Disables what the running interval timer locks, or frees it again.
  virtual void lockForTimer(bool /*running*/) {}

 protected:
  OptionsContext& ctx_;
  OptionsWindow& window_;
};

}  // namespace lumora
