#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "capture/Formats.h"
#include "ui/OptionsWindow.h"

namespace lumora {

// What the tab " Grafikformat " does with the settings, without its widgets.
class FormatTabLogic {
 public:
  explicit FormatTabLogic(OptionsContext& context) : ctx_(context) {}

  // The items of " Dateityp " and of "Quantisierung:", in list order.
  static constexpr int kFormatCount = int(kFormats.size());
  static constexpr std::array<uint8_t, 6> kBmpBitCodes{pf1Bit, pf4Bit, pf8Bit, pf16Bit, pf24Bit, pf32Bit};

  // List position for a suffix, -1 for any other text (exact comparison).
  static int FormatIndexFromSuffix(const QString& suffix);
  // ".bmp", ".jpg", ".tga", ".png"; empty for any other position.
  static QString SuffixFromFormatIndex(int index);
  // List position of a colour-depth code, -1 for a code the list does not offer.
  static int BmpBitIndexFromCode(uint8_t code);
  // The track bar starts at 0, but JPEG quality starts at 1.
  static uint8_t JpegQualityFromPosition(int position);

  // Which settings and information groups the chosen format shows; PNG has none.
  struct Groups {
    bool bmp = false;
    bool jpeg = false;
    bool tga = false;
  };
  static Groups VisibleGroups(int formatIndex);

  // FileSuffix from the format list; positions outside it leave the suffix as it
  // is. True when the suffix changed.
  bool updateFormatControls(int formatIndex);
  // A format chosen by the user: the numbering starts again at 00000 under the new
  // extension.
  void formatClicked(int formatIndex, bool timerRunning);
  // The window's initial state: a stored suffix the list does not know becomes
  // the selected format's, and the proposal made under the old suffix is redone.
  void initFormat(int formatIndex, bool timerRunning);
  void bmpBitClicked(int index);
  // Returns the quality stored.
  uint8_t jpegQualityChanged(int position);
  void jpegMethodClicked(bool bestPerfSender);

 private:
  OptionsContext& ctx_;
};

}  // namespace lumora
