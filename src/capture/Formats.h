#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "settings/Settings.h"

namespace lumora {

// The picture formats, in the order the options window lists them.
enum class OutputFormat : uint8_t { Bmp, Jpeg, Tga, Png };

// One format and everything the program ties to it. The extension alone carries
// the format through the settings, so this table is the one place that maps
// between them.
struct FormatInfo {
  OutputFormat format;
  const char* suffix;  // the extension with its dot, as FileSuffix holds it
  // The box after a failed write.
  const char* writeFailed;
  // Which of the pre-flight warnings judge this format's settings.
  bool qualityWarning;  // a very low JPEG quality
  bool depthWarnings;   // a palette or 5-6-5 colour depth
};

inline constexpr std::array<FormatInfo, 4> kFormats{{
    {OutputFormat::Bmp, ".bmp",
     "Das Speichern der Bitmap-Datei schlug fehl! Bitte prüfen Sie den\n"
     "Datenträger und versuchen Sie es dann erneut.",
     false, true},
    {OutputFormat::Jpeg, ".jpg",
     "Das Speichern der JPEG-Datei schlug fehl! Bitte prüfen Sie den\n"
     "Datenträger und versuchen Sie es dann erneut.",
     true, false},
    {OutputFormat::Tga, ".tga",
     "Das Speichern der Targa-Datei schlug fehl! Bitte prüfen Sie den\n"
     "Datenträger und versuchen Sie es dann erneut.",
     false, false},
    {OutputFormat::Png, ".png",
     "Das Speichern der PNG-Datei schlug fehl! Bitte prüfen Sie den\n"
     "Datenträger und versuchen Sie es dann erneut.",
     false, false},
}};

inline const FormatInfo& Format(OutputFormat format) { return kFormats[size_t(format)]; }
// The format of an extension (exact comparison, as the settings hold it);
// nullptr for any other text.
const FormatInfo* FormatFromSuffix(const QString& suffix);
// The extension of a path: from the last '.' after the last '/', at most four
// characters, empty when there is none.
QString PathExtension(const QString& fileName);
// The format a file name asks for by its extension, in any letter case, ".jpeg"
// as JPEG: for names a user types (`--output`). nullptr when no format has it.
const FormatInfo* FormatOfFileName(const QString& fileName);
// The extensions for messages: ".bmp, .jpg, .tga, .png".
QString KnownExtensions();

}  // namespace lumora
