#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <stdexcept>

namespace lumora {

void QtClipboard::setImage(const QImage& image) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) throw std::runtime_error("Die Zwischenablage ist nicht verfügbar.");
  clipboard->clear();
  // Other programs read true colour: a palette or 5-6-5 picture is handed over as
  // the colours it shows, so they never see indices or a palette of their own.
  const bool trueColor = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
  clipboard->setImage(trueColor ? image : image.convertToFormat(QImage::Format_RGB32));
}

}  // namespace lumora
