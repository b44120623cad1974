#include "capture/Caption.h"

#include <QFontMetrics>
#include <QPainter>

namespace lumora {

namespace {

QColor toQColor(TColor c) { return QColor(int(c & 0xff), int((c >> 8) & 0xff), int((c >> 16) & 0xff)); }

}  // namespace

CaptionBand CaptionBandFor(const tBeschriftung& caption, int pictureHeight) {
  const int height = caption.FontSize + 6;
  int top = 0;
  if (caption.Position == tpMitte)
    top = pictureHeight / 2 - height / 2;
  else if (caption.Position == tpUnten)
    top = pictureHeight - height;
  // A band taller than the picture must not lose the capture; it is drawn from the
  // top as far as the picture reaches, as at the top position.
  if (top < 0) top = 0;
  return {top, height};
}

QString CaptionText(const tBeschriftung& caption, const Clock& clock) {
  if (!caption.Zeiteinblenden) return caption.Text;
  const QString date = clock.dateText();
  const QString time = clock.timeText();
  return date + QStringLiteral(" - ") + time + QStringLiteral("   |   ") + caption.Text;
}

QFont CaptionFont(const QString& family, int cellHeight) {
  QFont font(family);
  font.setStyleStrategy(QFont::NoAntialias);
  // Cell heights grow unevenly with the pixel size and some have no exact size;
  // the largest size that still fits keeps the text inside the band.
  int size = cellHeight;
  for (; size > 1; --size) {
    font.setPixelSize(size);
    const QFontMetrics metrics(font);
    if (metrics.ascent() + metrics.descent() <= cellHeight) break;
  }
  font.setPixelSize(size > 0 ? size : 1);
  return font;
}

void DrawCaption(QImage& bitmap, const tBeschriftung& caption, const Clock& clock) {
  if (bitmap.isNull()) return;
  const CaptionBand band = CaptionBandFor(caption, bitmap.height());
  const QColor back = toQColor(caption.BackColor);
  const QString text = CaptionText(caption, clock);

  QPainter painter(&bitmap);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  if (!caption.Transparent) {
    painter.fillRect(0, band.top, bitmap.width(), band.height, back);
    // The text cells are painted in the band's colour too.
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(back);
  } else {
    painter.setBackgroundMode(Qt::TransparentMode);
  }
  if (text.isEmpty()) return;
  const QFont font = CaptionFont(caption.FontName.isEmpty() ? QStringLiteral("Arial") : caption.FontName,
                                 caption.FontSize);
  painter.setFont(font);
  painter.setPen(toQColor(caption.TextColor));
  const QFontMetrics metrics(font);
  // The cell's top-left corner sits at (2, top + 3); drawText wants the baseline.
  painter.drawText(QPoint(2, band.top + 3 + metrics.ascent()), text);
}

}  // namespace lumora
