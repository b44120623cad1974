#pragma once

#include <QImage>
#include "ui/OptionsPage.h"

namespace lumora {

// The tab " Bereichauswahl ": capture area, its information and preview.
class SelectionTab : public OptionsPage {
  Q_OBJECT
 public:
  SelectionTab(OptionsContext& context, OptionsWindow& window, QWidget* parent = nullptr);

  // After the overlay: ticks "Gewählten Bereich berücksichtigen" (Aktiv on), shows
  // the full-screen thumbnail with the deselected area tinted, and the numbers.
  void selectionDone(const QImage& thumbnail);
};

}  // namespace lumora
