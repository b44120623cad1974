#include "ui/widgets/FlatButton.h"

#include <QEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace lumora {

FlatButton::FlatButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setFlat(true);
  setAttribute(Qt::WA_Hover);
}

bool FlatButton::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
      update();
      break;
    default:
      break;
  }
  return QPushButton::event(event);
}

void FlatButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  if (raised()) {
    option.features &= ~QStyleOptionButton::Flat;
  } else {
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  painter.drawControl(QStyle::CE_PushButton, option);
}

}  // namespace lumora
