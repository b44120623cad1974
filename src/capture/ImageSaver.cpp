#include "capture/ImageSaver.h"

#include "capture/BmpWriter.h"
#include "capture/Caption.h"
#include "capture/ColorDepth.h"
#include "capture/JpegWriter.h"
#include "capture/PngWriter.h"
#include "capture/TgaWriter.h"

namespace lumora {

namespace {
const char* const kUnknownFormat =
    "Interner Fehler. Dateiformat unbekannt! Es wird empfohlen, das\n"
    "Programm zu beenden und erneut zu starten.";
const char* const kCannotCreate =
    "Der angegebene Dateiname oder der Pfad ist nicht gültig oder Sie\n"
    "haben nicht die notwendigen Rechte, diese Datei anzulegen. Bitte\n"
    "prüfen Sie Ihre Eingaben und die Ihnen zugewiesenen Benutzerrechte.\n\n";
}  // namespace

template <typename Write>
bool ImageSaver::deliver(const QImage& bitmap, const QString& fileName, bool toClipboard, OutputFormat format,
                         Write&& write) {
  if (toClipboard) {
    clipboard_.setImage(bitmap);
    return true;
  }
  PublishTarget file{fileName, names_, {}, unnamedFiles_};
  const WriteResult result = write(file);
  published_ = file.published;
  if (result == WriteResult::CannotCreate) dialogs_.error(QString::fromUtf8(kCannotCreate) + file.path);
  if (result == WriteResult::WriteFailed) dialogs_.error(QString::fromUtf8(Format(format).writeFailed));
  return result == WriteResult::Ok;
}

bool ImageSaver::SaveImage(QImage& bitmap, const QString& fileName, bool toClipboard, const tBeschriftung& caption,
                           const FormatSettings& format, NameSource* names) {
  published_.clear();
  names_ = names;
  struct Forget {
    NameSource*& names;
    ~Forget() { names = nullptr; }
  } forget{names_};
  if (caption.Position != tpKeine) DrawCaption(bitmap, caption, clock_);
  const FormatInfo* info = typedNames_ ? FormatOfFileName(fileName) : FormatFromSuffix(PathExtension(fileName));
  switch (info ? info->format : OutputFormat(0xff)) {
    case OutputFormat::Bmp: return SaveAsBmp(bitmap, fileName, toClipboard, format.BmpBit);
    case OutputFormat::Jpeg: return SaveAsJpeg(bitmap, fileName, toClipboard, format.JpegQuality, format.JpegPerformance);
    case OutputFormat::Tga: return SaveAsTga(bitmap, fileName, toClipboard);
    case OutputFormat::Png: return SaveAsPng(bitmap, fileName, toClipboard);
  }
  dialogs_.error(QString::fromUtf8(kUnknownFormat));
  return false;
}

bool ImageSaver::SaveAsBmp(QImage& bitmap, const QString& fileName, bool toClipboard, uint8_t bmpBit) {
  bitmap = ConvertToDepth(bitmap, bmpBit);
  return deliver(bitmap, fileName, toClipboard, OutputFormat::Bmp,
                 [&](PublishTarget& file) { return WriteBmp(file, bitmap, BitsPerPixel(bmpBit)); });
}

// The method is kept for the settings only: both methods give the same file.
bool ImageSaver::SaveAsJpeg(QImage& bitmap, const QString& fileName, bool toClipboard, uint8_t quality,
                            uint8_t /*method*/) {
  return deliver(bitmap, fileName, toClipboard, OutputFormat::Jpeg,
                 [&](PublishTarget& file) { return WriteJpeg(file, bitmap, quality); });
}

bool ImageSaver::SaveAsTga(QImage& bitmap, const QString& fileName, bool toClipboard) {
  bitmap = ConvertToDepth(bitmap, pf24Bit);
  return deliver(bitmap, fileName, toClipboard, OutputFormat::Tga,
                 [&](PublishTarget& file) { return WriteTga(file, bitmap); });
}

// Lossless like TGA: the clipboard gets the same 24-bit picture the file holds.
bool ImageSaver::SaveAsPng(QImage& bitmap, const QString& fileName, bool toClipboard) {
  bitmap = ConvertToDepth(bitmap, pf24Bit);
  return deliver(bitmap, fileName, toClipboard, OutputFormat::Png,
                 [&](PublishTarget& file) { return WritePng(file, bitmap); });
}

}  // namespace lumora
