#include "capture/OptionCheck.h"

#include "capture/Formats.h"

namespace lumora {

bool CheckOptions(const Settings& s, Dialogs& dialogs) {
  const tBeschriftung& c = s.Beschriftung;
  const bool caption = c.Position != tpKeine;
  const FormatInfo* format = FormatFromSuffix(s.Datei.FileSuffix);
  const bool jpg = format && format->qualityWarning;
  const bool bmp = format && format->depthWarnings;

  struct Check {
    bool applies;
    const char* text;
  };
  const Check checks[] = {
      {c.TextColor == c.BackColor && !c.Transparent && caption,
       "Sie haben die gleiche Farbe für Hintergrund uns Text ausgewählt.\n"
       "Wollen Sie den Screenshot trotzdem durchführen?"},
      {c.FontSize < 14 && caption,
       "Die gewählte Schriftgröße ist sehr klein und kann unter Umständen nicht\n"
       "gut zu erkennen sein. Wollen Sie den Vorgang trotzdem durchführen?"},
      {s.Format.JpegQuality <= 15 && jpg,
       "Die Komprimierungsrate ist sehr hoch. Schriften und Details\n"
       "werden nicht oder nur sehr schlecht abgebildet. Wollen Sie\n"
       "den Vorgang trotzdem durchführen?"},
      {(s.Format.BmpBit == pf1Bit || s.Format.BmpBit == pf4Bit) && bmp,
       "Die Bitmap-Bitrate ist sehr gering und führt somit zu schlechten\n"
       "Resultaten. Wollen Sie den Vorgang trotzdem durchführen?"},
      {s.Format.BmpBit == pf16Bit && bmp,
       "Bei der gewählten Bitmap-Bitrate kann es zu einem Blaustich kommen.\n"
       "Wollen Sie den Vorgang trotzdem fortsetzen?"},
  };
  for (const Check& check : checks)
    if (check.applies && !dialogs.confirm(QString::fromUtf8(check.text))) return false;
  return true;
}

}  // namespace lumora
