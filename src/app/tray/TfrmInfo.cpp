#include "app/tray/TfrmInfo.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <QScreen>

#include "app/tray/InfoPopupShape.h"

namespace lumora {

TfrmInfo::TfrmInfo(QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      OkImage(QStringLiteral(":/lumora/badge.png")) {
  setObjectName(QStringLiteral("frmInfo"));
  setWindowTitle(QStringLiteral("Lumora Info"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(115, 105);
  QRegion disc;
  for (const QRect& span : InfoPopupSpans()) disc += span;
  setMask(disc);
  DisplayTimer.setSingleShot(true);
  DisplayTimer.setInterval(kDisplayMs);
  connect(&DisplayTimer, &QTimer::timeout, this, &TfrmInfo::DisplayTimerTimer);
}

void TfrmInfo::showPopup() {
  if (isVisible()) return;
  if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->geometry().center() - rect().center());
  show();
  DisplayTimer.start();
}

void TfrmInfo::DisplayTimerTimer() {
  DisplayTimer.stop();
  hide();
}

void TfrmInfo::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  painter.drawPixmap(0, 0, OkImage);
}

}  // namespace lumora
