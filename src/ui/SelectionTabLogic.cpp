#include "ui/SelectionTabLogic.h"

#include <algorithm>
#include <cmath>

#include "raster/MaskOps.h"

namespace lumora {

namespace {

// Sides that lie far outside the preview only need to stay outside it.
constexpr double kFarOutside = 1e6;

}  // namespace

int RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  // nearbyint follows the default rounding mode, round-to-nearest-even.
  return int(std::nearbyint(std::clamp(value, -kFarOutside, kFarOutside)));
}

QSize SelectionTabLogic::setUseAuswahl(bool ticked, QSize screen) {
  s_.Auswahl.Aktiv = ticked;
  if (!ticked) return screen;
  const SelectionInfoTexts info = ShowSelectionInfo();
  return QSize(int(std::clamp<int64_t>(info.width, INT32_MIN, INT32_MAX)),
               int(std::clamp<int64_t>(info.height, INT32_MIN, INT32_MAX)));
}

SelectionInfoTexts SelectionTabLogic::ShowSelectionInfo() const {
  const SelectionSettings& a = s_.Auswahl;
  SelectionInfoTexts t;
  t.width = int64_t(a.Sel_Right) - a.Sel_Left;
  t.height = int64_t(a.Sel_Bottom) - a.Sel_Top;
  t.sizeX = QString::number(t.width);
  t.sizeY = QString::number(t.height);
  t.linksObenH = QString::number(a.Sel_Left);
  t.linksObenV = QString::number(a.Sel_Top);
  t.rechtsUntenH = QString::number(a.Sel_Right);
  t.rechtsUntenV = QString::number(a.Sel_Bottom);
  return t;
}

std::array<PreviewBand, 4> SelectionTabLogic::SelectionPreviewBands(const SelectionSettings& selection, QSize screen,
                                                              QSize preview) {
  // No screen to scale from (or a broken one) gives no tint rather than a
  // division by zero.
  if (screen.width() <= 0 || screen.height() <= 0 || preview.isEmpty()) return {};
  const double sx = double(preview.width()) / screen.width();
  const double sy = double(preview.height()) / screen.height();
  const int pw = RoundHalfEven(screen.width() * sx);
  const int ph = RoundHalfEven(screen.height() * sy);
  const int l = RoundHalfEven(selection.Sel_Left * sx);
  const int t = RoundHalfEven(selection.Sel_Top * sy);
  const int r = RoundHalfEven(selection.Sel_Right * sx);
  const int b = RoundHalfEven(selection.Sel_Bottom * sy);
  return {PreviewBand{0, 0, pw, t}, PreviewBand{0, t, l, b}, PreviewBand{r, t, pw, b}, PreviewBand{0, b, pw, ph}};
}

QImage SelectionTabLogic::DrawSelectionPreview(const QImage& thumbnail, const SelectionSettings& selection,
                                               QSize screen) {
  if (thumbnail.isNull()) return QImage();
  QImage picture = thumbnail.convertToFormat(QImage::Format_RGB32);
  // A band the wrong way round (a selection reaching past the screen) lies
  // outside the picture once its corners are in order, so it tints nothing.
  for (const PreviewBand& band : SelectionPreviewBands(selection, screen, picture.size()))
    MaskFillRect(picture, band.left, band.top, band.right, band.bottom, kTint);
  return picture;
}

}  // namespace lumora
