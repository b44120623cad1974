#pragma once

#include <QImage>

#include "ui/OptionsPage.h"

class QLabel;

namespace lumora {

// The tab " Informationen ": a picture about the program, drawn anew each time
// the tab shows, with the hotkey letters then in use.
class InfoTab : public OptionsPage {
  Q_OBJECT
 public:
  InfoTab(OptionsContext& context, OptionsWindow& window, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QImage background_;
  QLabel* imgHilfe_;
};

}  // namespace lumora
