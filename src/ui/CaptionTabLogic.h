#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>

#include "platform/Dialogs.h"
#include "settings/Settings.h"

namespace lumora {

// What the controls of the caption tab show for the current settings.
struct CaptionControls {
  uint8_t position = tpKeine;  // the button to press; codes outside 0..3 press none
  int sizeIndex = 3;           // cbTextSize
  int textColorIndex = 0;      // cbTextColor
  int backColorIndex = 0;      // cbBackColor
  bool transparent = false;    // cbTransparenz
  bool zeit = false;           // cbZeit
  QString text;                // edTextString
};

// The caption tab without its widgets: each control writes its caption setting at
// once, and the two previews are computed as pictures.
class CaptionTabLogic {
 public:
  // The position preview: the frame of imgPosPreBack and the bands over it.
  static constexpr int kPositionWidth = 157;
  static constexpr int kPositionHeight = 124;
  static constexpr int kBandHeight = 17;
  static constexpr int kMiddleBandTop = 52;
  // The text preview: imgTextPreBack and sTextPreviewshape.
  static constexpr int kTextWidth = 153;
  static constexpr int kTextHeight = 41;
  static constexpr int kTextCellHeight = 24;  // lblTextPreview's font height

  CaptionTabLogic(Settings& settings, Dialogs& dialogs) : s_(settings), dialogs_(dialogs) {}

  // btnPositionClick: the first pressed of Oben, Mitte, Unten, else Keine.
  static uint8_t PositionFromButtons(bool oben, bool mitte, bool unten);
  void setPosition(uint8_t position);
  void setFontSizeIndex(int index);
  void setTextColorIndex(int index);
  void setBackColorIndex(int index);
  void setTransparent(bool on);
  void setZeiteinblenden(bool on);
  void setText(const QString& text);

  // The control states for the settings. A stored colour or font size outside
  // the lists is reported and the substitute the list shows becomes the setting,
  // so that captures use what the window shows.
  CaptionControls loadControls();

  // The red band of the position preview for `position`; empty for "keine".
  static QRect PositionBand(uint8_t position);
  // `background` (imgPosPreBack) with the band of `position` masked in red.
  static QImage PositionPreview(const QImage& background, uint8_t position);
  // `background` (imgTextPreBack) under the caption's background colour, unless
  // transparent, and "Textfarbe" in the caption's text colour.
  QImage textPreview(const QImage& background) const;

 private:
  Settings& s_;
  Dialogs& dialogs_;
};

// The caption colour 0x00BBGGRR as a Qt colour.
QRgb RgbFromColor(TColor color);

}  // namespace lumora
