#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "platform/Dialogs.h"
#include "settings/Settings.h"

namespace lumora {

// The codes under which some settings are shown in lists and stored. Every
// conversion is total: an input it does not know shows its message and yields a
// fixed substitute, which the caller uses as if it were the real value.

struct PaletteEntry {
  const char* listText;  // UTF-8
  TColor color;
};

// The eleven caption colours, in the order of the colour lists and of the stored index.
inline constexpr std::array<PaletteEntry, 11> kPalette{{
    {"Schwarz  -  clBlack", 0x000000},
    {"Weiß  -  clWhite", 0xFFFFFF},
    {"Blau  -  clBlue", 0xFF0000},
    {"Rot  -  clRed", 0x0000FF},
    {"Grün  -  clGreen", 0x008000},
    {"Gelb  -  clYellow", 0x00FFFF},
    {"Purpur  -  clPurple", 0x800080},
    {"Teal  -  clTeal", 0x808000},
    {"Lime  -  clLime", 0x00FF00},
    {"Hellgrau  -  clLtGray", 0xC0C0C0},
    {"Grau  -  clGray", 0x808080},
}};

// List position i stands for the font size 8 + 2 * i.
inline constexpr int kFontSizeCount = 9;
QString FontSizeListText(int position);  // "08  Pixel" ... "24  Pixel"

TColor ColorFromIndex(uint8_t index, Dialogs& dialogs);
uint8_t IndexFromColor(TColor color, Dialogs& dialogs);
uint8_t SizeIndexFromFontSize(uint8_t fontSize, Dialogs& dialogs);
QString PositionToText(uint8_t position, Dialogs& dialogs);
uint8_t PositionFromText(const QString& text, Dialogs& dialogs);
QString PixelFormatToText(uint8_t format, Dialogs& dialogs);
uint8_t PixelFormatFromText(const QString& text, Dialogs& dialogs);
QString JpegMethodToText(uint8_t method, Dialogs& dialogs);
uint8_t JpegMethodFromText(const QString& text, Dialogs& dialogs);

// Days without leading zeros, then hours, minutes and seconds: 90061 is "1-01:01:01".
QString DurationText(uint32_t seconds);

namespace msg {
extern const char* const kColor;
extern const char* const kFontSize;
extern const char* const kPosition;
extern const char* const kPixelFormat;
extern const char* const kJpegMethod;
}  // namespace msg

}  // namespace lumora
