#include "ui/widgets/ElidedLabel.h"

#include <QPainter>
#include <QStyle>

namespace lumora {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setPath(const QString& text) {
  setText(text);
  setToolTip(text);
}

QRect ElidedLabel::textRect() const {
  QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  int inset = indent();
  if (inset < 0 && frameWidth() > 0) inset = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin();
  if (inset > 0) {
    if (alignment() & Qt::AlignLeft) area.setLeft(area.left() + inset);
    if (alignment() & Qt::AlignRight) area.setRight(area.right() - inset);
  }
  return area;
}

QString ElidedLabel::shownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideMiddle, textRect().width());
}

// As high as one line, also while empty; as wide as the layout makes it.
QSize ElidedLabel::minimumSizeHint() const {
  return {0, qMax(QLabel::minimumSizeHint().height(), fontMetrics().height() + 2 * frameWidth())};
}

QSize ElidedLabel::sizeHint() const { return minimumSizeHint(); }

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  drawFrame(&painter);
  style()->drawItemText(&painter, textRect(), int(alignment()), palette(), isEnabled(), shownText(),
                        foregroundRole());
}

}  // namespace lumora
