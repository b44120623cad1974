#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>

#include "settings/Settings.h"

namespace lumora {

// The six numbers of the selection information, as the labels show them.
struct SelectionInfoTexts {
  QString sizeX;       // lblSizeX
  QString sizeY;       // lblSizeY
  QString linksObenH;  // lblLinksObenH
  QString linksObenV;  // lblLinksObenV
  QString rechtsUntenH;
  QString rechtsUntenV;
  int64_t width = 0;   // for the status bar
  int64_t height = 0;
};

// One band of the selection preview in preview pixels, right and bottom
// exclusive, as DrawSelectionPreview hands it to the mask fill.
struct PreviewBand {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const PreviewBand&) const = default;
};

// The selection tab without its widgets: the "use the selection" switch, the
// numbers of the rectangle and the tinted preview.
class SelectionTabLogic {
 public:
  // imgPreView, the frame the thumbnail fills.
  static constexpr int kPreviewWidth = 157;
  static constexpr int kPreviewHeight = 124;
  // The tint of the deselected area: red 179, green 0, blue 0 in mask mode.
  static constexpr QRgb kTint = 0xffb30000;

  explicit SelectionTabLogic(Settings& settings) : s_(settings) {}

  // cbUseAuswahl: sets Aktiv and returns the size for the status bar, the
  // selection's when ticked, else the screen's.
  QSize setUseAuswahl(bool ticked, QSize screen);
  // ShowSelectionInfo: the labels' texts and the size for the status bar. Width
  // and height are computed wide, so no stored rectangle can overflow them.
  SelectionInfoTexts ShowSelectionInfo() const;

  // The four bands of DrawSelectionPreview: top, left, right, bottom band. All
  // empty when the screen size is unknown.
  static std::array<PreviewBand, 4> SelectionPreviewBands(const SelectionSettings& selection, QSize screen,
                                                    QSize preview = QSize(kPreviewWidth, kPreviewHeight));
  // DrawSelectionPreview: `thumbnail` (the whole screen at 157 x 124) with the
  // area outside the selection tinted. A null thumbnail gives a null picture.
  static QImage DrawSelectionPreview(const QImage& thumbnail, const SelectionSettings& selection, QSize screen);

 private:
  Settings& s_;
};

// Rounds to the nearest integer, halves to the even one, kept far inside int.
int RoundHalfEven(double value);

}  // namespace lumora
