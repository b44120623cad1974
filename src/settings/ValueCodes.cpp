#include "settings/ValueCodes.h"

namespace lumora {

namespace msg {
const char* const kColor =
    "Ein Fehler bei der Farbwahl ist aufgetreten! Diese Farbe ist im\n"
    "System nicht bekannt. Um den weitere Ablauf nicht zu beeinträchtigen\n"
    "wurde Schwarz als Standardwert übermittelt.";
const char* const kFontSize =
    "Ein Fehler bei der Schriftgrößenwahl ist aufgetreten! Diese Größe ist im\n"
    "System nicht bekannt. Um den weitere Ablauf nicht zu beeinträchtigen\n"
    "wurde ein Standardwert übermittelt.";
const char* const kPosition =
    "Interner Fehler. Es wurde eine ungültige Textposition übergeben.\n"
    "Es wird empfohlen, das Programm zu beenden und erneut zu starten.";
const char* const kPixelFormat =
    "Interner Fehler. Es wurde ein ungültiges Pixelformat übergeben.\n"
    "Es wird empfohlen, das Programm zu beenden und erneut zu starten.";
const char* const kJpegMethod =
    "Interner Fehler. Es wurde eine ungültige Kompressionsart (JPeg).\n"
    "übergeben. Es wird empfohlen, das Programm zu beenden und erneut zu starten.";
}  // namespace msg

namespace {

struct Code {
  uint8_t value;
  const char* text;
};

constexpr Code kPositions[] = {{tpOben, "oben"}, {tpMitte, "mitte"}, {tpUnten, "unten"}, {tpKeine, "keine"}};
constexpr Code kPixelFormats[] = {{pf1Bit, "pf1Bit"},   {pf4Bit, "pf4Bit"},   {pf8Bit, "pf8Bit"},
                                  {pf16Bit, "pf16Bit"}, {pf24Bit, "pf24Bit"}, {pf32Bit, "pf32Bit"}};
constexpr Code kJpegMethods[] = {{jmQuality, "quality"}, {jmSpeed, "speed"}};

void show(Dialogs& dialogs, const char* message) { dialogs.error(QString::fromUtf8(message)); }

template <size_t N>
QString toText(const Code (&codes)[N], uint8_t value, const char* substitute, const char* message, Dialogs& dialogs) {
  for (const Code& c : codes)
    if (c.value == value) return QString::fromLatin1(c.text);
  show(dialogs, message);
  return QString::fromLatin1(substitute);
}

// Exact, case-sensitive comparison: "Keine" and "" are unknown texts.
template <size_t N>
uint8_t fromText(const Code (&codes)[N], const QString& text, uint8_t substitute, const char* message,
                 Dialogs& dialogs) {
  for (const Code& c : codes)
    if (text == QLatin1String(c.text)) return c.value;
  show(dialogs, message);
  return substitute;
}

}  // namespace

QString FontSizeListText(int position) {
  return QStringLiteral("%1  Pixel").arg(8 + 2 * position, 2, 10, QLatin1Char('0'));
}

TColor ColorFromIndex(uint8_t index, Dialogs& dialogs) {
  if (index < kPalette.size()) return kPalette[index].color;
  show(dialogs, msg::kColor);
  return 0x000000;
}

uint8_t IndexFromColor(TColor color, Dialogs& dialogs) {
  for (size_t i = 0; i < kPalette.size(); ++i)
    if (kPalette[i].color == color) return uint8_t(i);
  show(dialogs, msg::kColor);
  return 0;
}

uint8_t SizeIndexFromFontSize(uint8_t fontSize, Dialogs& dialogs) {
  if (fontSize >= 8 && fontSize <= 24 && fontSize % 2 == 0) return uint8_t((fontSize - 8) / 2);
  show(dialogs, msg::kFontSize);
  return 3;
}

QString PositionToText(uint8_t position, Dialogs& dialogs) {
  return toText(kPositions, position, "keine", msg::kPosition, dialogs);
}

uint8_t PositionFromText(const QString& text, Dialogs& dialogs) {
  return fromText(kPositions, text, tpKeine, msg::kPosition, dialogs);
}

QString PixelFormatToText(uint8_t format, Dialogs& dialogs) {
  return toText(kPixelFormats, format, "pf24Bit", msg::kPixelFormat, dialogs);
}

uint8_t PixelFormatFromText(const QString& text, Dialogs& dialogs) {
  return fromText(kPixelFormats, text, pf24Bit, msg::kPixelFormat, dialogs);
}

QString JpegMethodToText(uint8_t method, Dialogs& dialogs) {
  return toText(kJpegMethods, method, "quality", msg::kJpegMethod, dialogs);
}

uint8_t JpegMethodFromText(const QString& text, Dialogs& dialogs) {
  return fromText(kJpegMethods, text, jmQuality, msg::kJpegMethod, dialogs);
}

QString DurationText(uint32_t s) {
  return QStringLiteral("%1-%2:%3:%4")
      .arg(s / 86400)
      .arg((s % 86400) / 3600, 2, 10, QLatin1Char('0'))
      .arg((s % 3600) / 60, 2, 10, QLatin1Char('0'))
      .arg(s % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace lumora
