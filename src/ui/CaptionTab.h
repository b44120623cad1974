#pragma once

#include <QImage>

#include "ui/CaptionTabLogic.h"
#include "ui/OptionsPage.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace lumora {

// The tab " Beschriftung ": caption band and its previews.
class CaptionTab : public OptionsPage {
  Q_OBJECT
 public:
  CaptionTab(OptionsContext& context, OptionsWindow& window, QWidget* parent = nullptr);

  void loadFromSettings() override;
  void initWindowState() override;
  void lockForTimer(bool running) override;

  // Presses the button of `position` (codes outside 0..3 press none), then
  // UpdatePositionPreview. Runs no click handler.
  void SetPositionButtons(uint8_t position);
  // The bands follow the pressed button.
  void UpdatePositionPreview();
  // Text colour, background colour and transparency of the text preview.
  void UpdateTextPreview();

 private:
  void btnPositionClick();
  QLabel* previewLabel(const char* name, QSize size, const QString& hint);

  CaptionTabLogic logic_;
  QImage positionBack_;
  QImage textBack_;
  QButtonGroup* positionGroup_ = nullptr;
  QToolButton* btnOben_ = nullptr;
  QToolButton* btnMitte_ = nullptr;
  QToolButton* btnUnten_ = nullptr;
  QToolButton* btnKeine_ = nullptr;
  QComboBox* cbTextSize_ = nullptr;
  QComboBox* cbTextColor_ = nullptr;
  QComboBox* cbBackColor_ = nullptr;
  QCheckBox* cbTransparenz_ = nullptr;
  QCheckBox* cbZeit_ = nullptr;
  QLineEdit* edTextString_ = nullptr;
  QLabel* imgPosPreBack_ = nullptr;
  QLabel* lblTextPreview_ = nullptr;
};

}  // namespace lumora
