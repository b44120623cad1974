#pragma once

#include <QImage>
#include <QList>
#include <QRgb>
#include <array>
#include <cstdint>

#include "settings/Settings.h"

namespace lumora {

// The fixed palettes of the lower colour depths, as the Windows drawing layer
// defines them (entries are 0xffRRGGBB).
const QList<QRgb>& BlackWhitePalette();
const QList<QRgb>& Vga16Palette();
const QList<QRgb>& HalftonePalette();

// Maps a true colour to the nearest entry of a palette. Like the Windows drawing
// layer, only the top five bits of each channel count: every colour of one
// 8 x 8 x 8 cell maps as the cell's centre does. That makes one table of 32768
// indices exact, built once per palette instead of a search per pixel.
class ColorLookup {
 public:
  explicit ColorLookup(const QList<QRgb>& palette);

  uint8_t index(QRgb rgb) const {
    return table_[((rgb >> 9) & 0x7c00) | ((rgb >> 6) & 0x03e0) | ((rgb >> 3) & 0x001f)];
  }

  // The plain nearest entry: least squared distance, ties to the lowest index.
  static int nearest(const QList<QRgb>& palette, int r, int g, int b);

 private:
  std::array<uint8_t, 32768> table_{};
};

// Converts a picture to one of the BMP depth codes (1, 2, 3, 5, 6, 7) and
// returns the result, which the BMP writer takes as it is:
//   1 -> Format_Mono with black and white (white when R + G + B >= 383),
//   2 -> Format_Indexed8 with the 16-colour palette,
//   3 -> Format_Indexed8 with the halftone palette,
//   5 -> Format_RGB16, each channel truncated to 5-6-5 bits,
//   6, 7 -> Format_RGB32, unchanged.
// No dithering. An unknown code is treated as 24 bits, the default depth.
QImage ConvertToDepth(const QImage& picture, uint8_t bmpBit);

// Bits per pixel of a depth code; 24 for an unknown one.
int BitsPerPixel(uint8_t bmpBit);

}  // namespace lumora
