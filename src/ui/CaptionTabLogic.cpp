#include "ui/CaptionTabLogic.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "capture/Caption.h"
#include "raster/MaskOps.h"
#include "settings/ValueCodes.h"

namespace lumora {

QRgb RgbFromColor(TColor color) { return qRgb(int(color & 0xff), int((color >> 8) & 0xff), int((color >> 16) & 0xff)); }

uint8_t CaptionTabLogic::PositionFromButtons(bool oben, bool mitte, bool unten) {
  if (oben) return tpOben;
  if (mitte) return tpMitte;
  if (unten) return tpUnten;
  return tpKeine;
}

void CaptionTabLogic::setPosition(uint8_t position) { s_.Beschriftung.Position = position; }

void CaptionTabLogic::setFontSizeIndex(int index) {
  // A list that lost its selection (-1) has nothing to say about the size.
  if (index < 0 || index >= kFontSizeCount) return;
  s_.Beschriftung.FontSize = uint8_t(index * 2 + 8);
}

void CaptionTabLogic::setTextColorIndex(int index) {
  if (index < 0) return;
  s_.Beschriftung.TextColor = ColorFromIndex(uint8_t(std::min(index, 255)), dialogs_);
}

void CaptionTabLogic::setBackColorIndex(int index) {
  if (index < 0) return;
  s_.Beschriftung.BackColor = ColorFromIndex(uint8_t(std::min(index, 255)), dialogs_);
}

void CaptionTabLogic::setTransparent(bool on) { s_.Beschriftung.Transparent = on; }

void CaptionTabLogic::setZeiteinblenden(bool on) { s_.Beschriftung.Zeiteinblenden = on; }

void CaptionTabLogic::setText(const QString& text) { s_.Beschriftung.Text = text; }

CaptionControls CaptionTabLogic::loadControls() {
  tBeschriftung& b = s_.Beschriftung;
  CaptionControls c;
  c.position = b.Position;
  c.sizeIndex = SizeIndexFromFontSize(b.FontSize, dialogs_);
  c.textColorIndex = IndexFromColor(b.TextColor, dialogs_);
  c.backColorIndex = IndexFromColor(b.BackColor, dialogs_);
  // Otherwise the list would show one size or colour while captures use another.
  b.FontSize = uint8_t(c.sizeIndex * 2 + 8);
  b.TextColor = kPalette[size_t(c.textColorIndex)].color;
  b.BackColor = kPalette[size_t(c.backColorIndex)].color;
  c.transparent = b.Transparent;
  c.zeit = b.Zeiteinblenden;
  c.text = b.Text;
  return c;
}

QRect CaptionTabLogic::PositionBand(uint8_t position) {
  switch (position) {
    case tpOben:
      return QRect(0, 0, kPositionWidth, kBandHeight);
    case tpMitte:
      return QRect(0, kMiddleBandTop, kPositionWidth, kBandHeight);
    case tpUnten:
      return QRect(0, kPositionHeight - kBandHeight, kPositionWidth, kBandHeight);
    default:
      return QRect();
  }
}

QImage CaptionTabLogic::PositionPreview(const QImage& background, uint8_t position) {
  QImage picture = background.isNull() ? QImage(kPositionWidth, kPositionHeight, QImage::Format_RGB32) : background;
  if (background.isNull()) picture.fill(Qt::white);
  picture.convertTo(QImage::Format_RGB32);
  const QRect band = PositionBand(position);
  if (!band.isEmpty()) MaskFillRect(picture, band, qRgb(255, 0, 0));
  return picture;
}

QImage CaptionTabLogic::textPreview(const QImage& background) const {
  QImage picture = background.isNull() ? QImage(kTextWidth, kTextHeight, QImage::Format_RGB32) : background;
  if (background.isNull()) picture.fill(Qt::white);
  picture.convertTo(QImage::Format_RGB32);
  const tBeschriftung& b = s_.Beschriftung;
  QPainter painter(&picture);
  if (!b.Transparent) painter.fillRect(picture.rect(), QColor(RgbFromColor(b.BackColor)));
  const QFont font = CaptionFont(QStringLiteral("Arial"), kTextCellHeight);
  painter.setFont(font);
  painter.setPen(QColor(RgbFromColor(b.TextColor)));
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Textfarbe"));
  return picture;
}

}  // namespace lumora
