#pragma once

#include "ui/FormatTabLogic.h"
#include "ui/OptionsPage.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QSlider;

namespace lumora {

// The tab " Grafikformat ": file format, colour depth, JPEG quality.
class FormatTab : public OptionsPage {
  Q_OBJECT
 public:
  FormatTab(OptionsContext& context, OptionsWindow& window, QWidget* parent = nullptr);

  void loadFromSettings() override;
  void initWindowState() override;
  void lockForTimer(bool running) override;

  // Select the item for a stored value; values the control does not offer leave
  // it as it is.
  void SetFormatFromSuffix(const QString& suffix);
  void SetBmpBitControl(uint8_t code);
  void SetJpegMethodControl(uint8_t code);
  // FileSuffix from the selected format, and the groups that belong to it.
  void UpdateFormatControls();

  QButtonGroup* rgFormat() const { return rgFormat_; }
  QButtonGroup* rgBmpBit() const { return rgBmpBit_; }

 private:
  void showFormatGroups(int formatIndex);

  FormatTabLogic logic_;
  QButtonGroup* rgFormat_ = nullptr;
  QButtonGroup* rgBmpBit_ = nullptr;
  QSlider* tbJpegQuality_ = nullptr;
  QLineEdit* edJpegPercent_ = nullptr;
  QRadioButton* rbJpegBestPerf_ = nullptr;
  QRadioButton* rbBestSpeed_ = nullptr;
  QGroupBox* gbBmp_ = nullptr;
  QGroupBox* gbJpeg_ = nullptr;
  QGroupBox* gbTga_ = nullptr;
  QGroupBox* gbFormatInfoBMP_ = nullptr;
  QGroupBox* gbFormatInfoJPG_ = nullptr;
  QGroupBox* gbFormatInfoTGA_ = nullptr;
};

}  // namespace lumora
