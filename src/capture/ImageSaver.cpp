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
const char* const kBmpWriteFailed =
    "Das Speichern der Bitmap-Datei schlug fehl! Bitte prüfen Sie den\n"
    "Datenträger und versuchen Sie es dann erneut.";
const char* const kJpegWriteFailed =
    "Das Speichern der JPEG-Datei schlug fehl! Bitte prüfen Sie den\n"
    "Datenträger und versuchen Sie es dann erneut.";
const char* const kTgaWriteFailed =
    "Das Speichern der Targa-Datei schlug fehl! Bitte prüfen Sie den\n"
    "Datenträger und versuchen Sie es dann erneut.";
const char* const kPngWriteFailed =
    "Das Speichern der PNG-Datei schlug fehl! Bitte prüfen Sie den\n"
    "Datenträger und versuchen Sie es dann erneut.";
}  // namespace

QString ImageSaver::Extension(const QString& fileName) {
  const int slash = fileName.lastIndexOf(QLatin1Char('/'));
  const int dot = fileName.lastIndexOf(QLatin1Char('.'));
  if (dot < 0 || dot < slash) return QString();
  return fileName.mid(dot, 4);
}

bool ImageSaver::finish(const PublishTarget& file, WriteResult result, const char* writeFailed) {
  published_ = file.published;
  if (result == WriteResult::CannotCreate) cannotCreate(file.path);
  if (result == WriteResult::WriteFailed) dialogs_.error(QString::fromUtf8(writeFailed));
  return result == WriteResult::Ok;
}

void ImageSaver::cannotCreate(const QString& fileName) {
  dialogs_.error(QString::fromUtf8(kCannotCreate) + fileName);
}

bool ImageSaver::SaveImage(QImage& bitmap, const QString& fileName, bool toClipboard, const tBeschriftung& caption,
                           const FormatSettings& format, NameSource* names) {
  published_.clear();
  names_ = names;
  struct Forget {
    NameSource*& names;
    ~Forget() { names = nullptr; }
  } forget{names_};
  const QString ext = Extension(fileName);
  if (caption.Position != tpKeine) DrawCaption(bitmap, caption, clock_);
  if (ext == QLatin1String(".bmp")) return SaveAsBmp(bitmap, fileName, toClipboard, format.BmpBit);
  if (ext == QLatin1String(".jpg"))
    return SaveAsJpeg(bitmap, fileName, toClipboard, format.JpegQuality, format.JpegPerformance);
  if (ext == QLatin1String(".tga")) return SaveAsTga(bitmap, fileName, toClipboard);
  if (ext == QLatin1String(".png")) return SaveAsPng(bitmap, fileName, toClipboard);
  dialogs_.error(QString::fromUtf8(kUnknownFormat));
  return false;
}

bool ImageSaver::SaveAsBmp(QImage& bitmap, const QString& fileName, bool toClipboard, uint8_t bmpBit) {
  bitmap = ConvertToDepth(bitmap, bmpBit);
  if (toClipboard) {
    clipboard_.setImage(bitmap);
    return true;
  }
  PublishTarget file = target(fileName);
  return finish(file, WriteBmp(file, bitmap, BitsPerPixel(bmpBit)), kBmpWriteFailed);
}

// The method is kept for the settings only: both methods give the same file.
bool ImageSaver::SaveAsJpeg(QImage& bitmap, const QString& fileName, bool toClipboard, uint8_t quality,
                            uint8_t /*method*/) {
  if (toClipboard) {
    clipboard_.setImage(bitmap);
    return true;
  }
  PublishTarget file = target(fileName);
  return finish(file, WriteJpeg(file, bitmap, quality), kJpegWriteFailed);
}

bool ImageSaver::SaveAsTga(QImage& bitmap, const QString& fileName, bool toClipboard) {
  bitmap = ConvertToDepth(bitmap, pf24Bit);
  if (toClipboard) {
    clipboard_.setImage(bitmap);
    return true;
  }
  PublishTarget file = target(fileName);
  return finish(file, WriteTga(file, bitmap), kTgaWriteFailed);
}

// Lossless like TGA: the clipboard gets the same 24-bit picture the file holds.
bool ImageSaver::SaveAsPng(QImage& bitmap, const QString& fileName, bool toClipboard) {
  bitmap = ConvertToDepth(bitmap, pf24Bit);
  if (toClipboard) {
    clipboard_.setImage(bitmap);
    return true;
  }
  PublishTarget file = target(fileName);
  return finish(file, WritePng(file, bitmap), kPngWriteFailed);
}

}  // namespace lumora
