#pragma once

#include <QImage>
#include <QSize>
#include <functional>

#include "platform/ScreenRect.h"
#include "ui/OptionsPage.h"
#include "ui/SelectionTabLogic.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace lumora {

// The tab " Bereichauswahl ": capture area, its information and preview.
class SelectionTab : public OptionsPage {
  Q_OBJECT
 public:
  SelectionTab(OptionsContext& context, OptionsWindow& window, QWidget* parent = nullptr);

  void loadFromSettings() override;
  void initWindowState() override;
  void lockForTimer(bool running) override;

  // Where the whole screen's size comes from, and the primary monitor's, which
  // the overlay freezes; Qt's primary screen unless set.
  void setScreenSizeSource(std::function<QSize()> screenSize, std::function<QSize()> primarySize = {});

  // After the overlay: ticks "Gewählten Bereich berücksichtigen" (Aktiv on), shows
  // the full-screen thumbnail with the deselected area tinted, and the numbers.
  // `frozen` is what the thumbnail covers; empty for the primary monitor.
  void selectionDone(const QImage& thumbnail, const ScreenRect& frozen = {});

  // The six labels, then the status bar's size panel.
  void ShowSelectionInfo();
  // The thumbnail in imgPreView with the deselected area tinted.
  void DrawSelectionPreview(const QImage& thumbnail, const ScreenRect& frozen = {});

 private:
  void cbUseAuswahlClick(bool ticked);
  void cbBildschirmChange(int index);
  QSize screenSize() const;

  SelectionTabLogic logic_;
  std::function<QSize()> screenSize_;
  std::function<QSize()> primarySize_;
  QLabel* lblSizeX_ = nullptr;
  QLabel* lblSizeY_ = nullptr;
  QLabel* lblLinksObenH_ = nullptr;
  QLabel* lblLinksObenV_ = nullptr;
  QLabel* lblRechtsUntenH_ = nullptr;
  QLabel* lblRechtsUntenV_ = nullptr;
  QLabel* imgPreView_ = nullptr;
  QPushButton* btnAuswahl_ = nullptr;
  QCheckBox* cbUseAuswahl_ = nullptr;
  QComboBox* cbBildschirm_ = nullptr;
  QCheckBox* cbMauszeiger_ = nullptr;
};

}  // namespace lumora
