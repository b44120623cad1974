#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <stdexcept>

namespace lumora {

void QtClipboard::setImage(const QImage& image) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) throw std::runtime_error("Die Zwischenablage ist nicht verfügbar.");
  clipboard->clear();
  // Other programs read true colour; a palette picture is handed over in its colours.
  clipboard->setImage(image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono
                          ? image.convertToFormat(QImage::Format_RGB32)
                          : image);
}

}  // namespace lumora
