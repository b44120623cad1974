#include "platform/clipboard/QtClipboard.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>
#include <QThread>
#include <stdexcept>

namespace lumora {

QMimeData* PictureMimeData(const QImage& image) {
  auto* data = new QMimeData;
  // Other programs read true colour: a palette or 5-6-5 picture is handed over as
  // the colours it shows, so they never see indices or a palette of their own.
  const bool trueColor = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
  data->setImageData(trueColor ? image : image.convertToFormat(QImage::Format_RGB32));
  return data;
}

QStringList KeptPictureTypes() { return {QStringLiteral("image/png"), QStringLiteral("image/bmp")}; }

void QtClipboard::setImage(const QImage& image) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) throw std::runtime_error("Die Zwischenablage ist nicht verfügbar.");
  clipboard->clear();
  QMimeData* data = PictureMimeData(image);
  clipboard->setMimeData(data);
  picture_ = image;
  offered_ = data;
}

bool QtClipboard::holdsPicture() const {
  QClipboard* clipboard = QGuiApplication::clipboard();
  return clipboard && offered_ && clipboard->ownsClipboard() && clipboard->mimeData() == offered_.data();
}

void QtClipboard::passOn(Clipboard& next) {
  if (!holdsPicture()) return;
  next.setImage(picture_);
  picture_ = QImage();
  // Qt believes it owns the clipboard until the news of the new owner, already
  // on its way, has been read; until then its teardown would offer the clipboard
  // to a clipboard manager once more.
  QElapsedTimer waited;
  waited.start();
  while (QGuiApplication::clipboard()->ownsClipboard() && waited.elapsed() < 1000) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(5);
  }
}

}  // namespace lumora
