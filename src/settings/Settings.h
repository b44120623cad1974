#pragma once

#include <QString>
#include <cstdint>

namespace lumora {

// Colours are 0x00BBGGRR, red in the low byte.
using TColor = uint32_t;

// Where the caption band goes. Stored values outside 0..3 can occur and are
// handled by the code conversions.
enum TextPosition : uint8_t { tpOben = 0, tpMitte = 1, tpUnten = 2, tpKeine = 3 };

// Colour depth codes of BMP output; 0, 4 and 8 exist in the numbering but are
// never valid settings.
enum PixelFormat : uint8_t {
  pf1Bit = 1,
  pf4Bit = 2,
  pf8Bit = 3,
  pf16Bit = 5,
  pf24Bit = 6,
  pf32Bit = 7,
};

enum JpegMethod : uint8_t { jmQuality = 0, jmSpeed = 1 };

// File settings: target folder, name parts and saving mode.
struct tDatei {
  int32_t Counter = 0;         // one more than the number in NextFile
  QString FileDescription;     // the file-name prefix
  QString FileSuffix;          // ".bmp", ".jpg" or ".tga"; the only carrier of the format
  QString FileDir;             // target folder, ending in '/'
  QString NextFile;            // full path of the next numbered file
  bool SameFile = false;       // numbering off: always FileDir + FileDescription + FileSuffix
  bool Eingabeaufforderung = false;  // ask for a file name before each capture
  bool Clipboard = false;      // captures go to the clipboard
};

struct FormatSettings {
  uint8_t BmpBit = 0;           // a PixelFormat code
  uint8_t JpegQuality = 0;      // 1..100
  uint8_t JpegPerformance = 0;  // a JpegMethod code
};

// The caption band stamped onto captures.
struct tBeschriftung {
  QString Text;
  TColor BackColor = 0;
  TColor TextColor = 0;
  QString FontName;       // always "Arial"
  uint8_t FontSize = 0;   // cell height in pixels, 8..24
  uint8_t Position = 0;   // a TextPosition code
  bool Transparent = false;
  bool Zeiteinblenden = false;  // date and time in front of the text
};

// The remembered capture rectangle.
struct SelectionSettings {
  int32_t Sel_Left = 0;
  int32_t Sel_Top = 0;
  int32_t Sel_Right = 0;
  int32_t Sel_Bottom = 0;
  bool Aktiv = false;  // captures use the rectangle instead of the whole screen
};

// The interval timer.
struct TimerSettings {
  int32_t ValHour = 0;
  int32_t ValMin = 0;
  int32_t ValSec = 0;
  bool Loop = false;
  bool TimerAutostart = false;
};

// The letters of the global hotkeys (Ctrl+Alt+letter): capture, region
// selection, and the capture of the active window.
struct ShortcutSettings {
  char SC_Screen = 'S';
  char SC_Auswahl = 'A';
  char SC_Window = 'W';
};

// What a whole-screen capture covers: the primary monitor, the monitor with the
// pointer, or the bounding box of all monitors.
enum WholeScreen : uint8_t { wsPrimaer = 0, wsMauszeiger = 1, wsAlle = 2 };

// What a whole-screen picture covers and shows. Stored after the 27 values and the
// hotkey letters; a file from before these existed loads them as defaults.
struct tBildschirm {
  uint8_t Bereich = wsPrimaer;  // a WholeScreen code
  bool Mauszeiger = false;  // the pointer is drawn into every picture
};

// Every setting of the program. The application owns one and hands it on by
// reference; the options window keeps its controls and these values in step.
struct Settings {
  tDatei Datei;
  bool Blank = false;  // a blank separates prefix and number
  FormatSettings Format;
  tBeschriftung Beschriftung;
  SelectionSettings Auswahl;
  TimerSettings Timer;
  ShortcutSettings Shortcuts;
  tBildschirm Bildschirm;
};

// The fixed modifiers of both hotkeys: Alt (1) plus Ctrl (2).
inline constexpr int HotkeyModifiers = 3;

}  // namespace lumora
