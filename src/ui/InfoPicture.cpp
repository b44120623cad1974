#include "ui/InfoPicture.h"

#include <QFont>
#include <QPainter>

namespace lumora {

namespace {

QFont arial(int pixelSize, bool bold) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

}  // namespace

QStringList HotkeyLines(const ShortcutSettings& keys) {
  return {QStringLiteral("Strg+Alt+%1  Screenshot").arg(QLatin1Char(keys.SC_Screen)),
          QStringLiteral("Strg+Alt+%1  Bereichsauswahl").arg(QLatin1Char(keys.SC_Auswahl))};
}

QImage InfoPicture(const QImage& background, const ShortcutSettings& keys) {
  QImage picture = background.convertToFormat(QImage::Format_RGB32);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const int left = 170;
  painter.setPen(QColor(0xEE, 0xF4, 0xED));
  painter.setFont(arial(28, true));
  painter.drawText(left, 101, QStringLiteral("Lumora 2002"));
  painter.setPen(QColor(0x8D, 0xA9, 0xC4));
  painter.setFont(arial(14, false));
  painter.drawText(left, 130, QStringLiteral("Version %1").arg(QLatin1String(LUMORA_VERSION)));
  painter.setFont(arial(15, false));
  QStringList lines{QStringLiteral("Screenshots aus dem Infobereich:")};
  lines << HotkeyLines(keys);
  for (int i = 0; i < lines.size(); ++i) painter.drawText(left, 160 + 22 * i, lines[i]);
  return picture;
}

}  // namespace lumora
