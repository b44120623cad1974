#include "capture/ImageSaver.h"

#include "capture/BmpWriter.h"
#include "capture/Caption.h"

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
}  // namespace

QString ImageSaver::Extension(const QString& fileName) {
  const int slash = fileName.lastIndexOf(QLatin1Char('/'));
  const int dot = fileName.lastIndexOf(QLatin1Char('.'));
  if (dot < 0 || dot < slash) return QString();
  return fileName.mid(dot, 4);
}

void ImageSaver::cannotCreate(const QString& fileName) {
  dialogs_.error(QString::fromUtf8(kCannotCreate) + fileName);
}

bool ImageSaver::SaveImage(QImage& bitmap, const QString& fileName, bool toClipboard, const tBeschriftung& caption,
                           const FormatSettings& format) {
  const QString ext = Extension(fileName);
  if (caption.Position != tpKeine) DrawCaption(bitmap, caption, clock_);
  if (ext == QLatin1String(".bmp")) return SaveAsBmp(bitmap, fileName, toClipboard, format.BmpBit);
  if (ext == QLatin1String(".jpg"))
    return SaveAsJpeg(bitmap, fileName, toClipboard, format.JpegQuality, format.JpegPerformance);
  if (ext == QLatin1String(".tga")) return SaveAsTga(bitmap, fileName, toClipboard);
  dialogs_.error(QString::fromUtf8(kUnknownFormat));
  return false;
}

bool ImageSaver::SaveAsBmp(QImage& bitmap, const QString& fileName, bool toClipboard, uint8_t /*bmpBit*/) {
  if (toClipboard) {
    clipboard_.setImage(bitmap);
    return true;
  }
  switch (WriteBmp24(fileName, bitmap)) {
    case WriteResult::Ok:
      return true;
    case WriteResult::CannotCreate:
      cannotCreate(fileName);
      return false;
    case WriteResult::WriteFailed:
      dialogs_.error(QString::fromUtf8(kBmpWriteFailed));
      return false;
  }
  return false;
}

bool ImageSaver::SaveAsJpeg(QImage& bitmap, const QString& fileName, bool toClipboard, uint8_t, uint8_t) {
  if (toClipboard) {
    clipboard_.setImage(bitmap);
    return true;
  }
  dialogs_.error(QString::fromUtf8(kUnknownFormat));
  return false;
}

bool ImageSaver::SaveAsTga(QImage& bitmap, const QString& fileName, bool toClipboard) {
  if (toClipboard) {
    clipboard_.setImage(bitmap);
    return true;
  }
  dialogs_.error(QString::fromUtf8(kUnknownFormat));
  return false;
}

}  // namespace lumora
