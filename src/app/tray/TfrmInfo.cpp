#include "app/tray/TfrmInfo.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <QScreen>

#include "app/tray/InfoPopupShape.h"
#include "platform/CaptureNotice.h"

namespace lumora {

TfrmInfo::TfrmInfo(QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      OkImage(QStringLiteral(":/lumora/badge.png")) {
  setObjectName(QStringLiteral("frmInfo"));
  setWindowTitle(QStringLiteral("Lumora Info"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(115, 105);
  for (const QRect& span : InfoPopupSpans()) disc_ += span;
  // Wayland compositors ignore a window's shape (GNOME shows the whole rectangle):
  // there the window is see-through and only the disc is painted. It never takes
  // the pointer either, so a click goes to what is under it.
  seeThrough_ = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
  if (seeThrough_) {
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlag(Qt::WindowTransparentForInput);
  } else {
    setMask(disc_);
  }
  DisplayTimer.setSingleShot(true);
  DisplayTimer.setInterval(kDisplayMs);
  connect(&DisplayTimer, &QTimer::timeout, this, &TfrmInfo::DisplayTimerTimer);
}

void TfrmInfo::showPopup() {
  if (isVisible() || noticeShown_) return;
  // The desktop's banner takes the place of a window that would take the keys
  // and land where the compositor puts it.
  if (notice_ && notice_->show()) {
    noticeShown_ = true;
    DisplayTimer.start();
    return;
  }
  if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->geometry().center() - rect().center());
  show();
  DisplayTimer.start();
}

void TfrmInfo::DisplayTimerTimer() {
  DisplayTimer.stop();
  if (noticeShown_) notice_->close();
  noticeShown_ = false;
  hide();
}

void TfrmInfo::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (seeThrough_) {
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setClipRegion(disc_);
  }
  painter.fillRect(rect(), palette().window());
  painter.drawPixmap(0, 0, OkImage);
}

}  // namespace lumora
