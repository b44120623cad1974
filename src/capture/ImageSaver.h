#pragma once

#include <QImage>
#include <QString>

#include "capture/BmpWriter.h"
#include "platform/fs/AtomicFile.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "settings/Settings.h"

namespace lumora {

// Stamps the caption onto a capture and hands it to the saver that the target's
// extension selects. Each saver returns false after showing its own error box.
class ImageSaver {
 public:
  ImageSaver(Dialogs& dialogs, Clipboard& clipboard, const Clock& clock)
      : dialogs_(dialogs), clipboard_(clipboard), clock_(clock) {}

  // `bitmap` is modified in place (caption, colour depth). With `names` the file
  // never replaces one: when another program took `fileName` first, the picture
  // goes to the next name `names` gives. publishedPath() tells the name used.
  bool SaveImage(QImage& bitmap, const QString& fileName, bool toClipboard, const tBeschriftung& caption,
                 const FormatSettings& format, NameSource* names = nullptr);
  // The file the last save wrote; empty after a clipboard save or a failure.
  const QString& publishedPath() const { return published_; }

  bool SaveAsBmp(QImage& bitmap, const QString& fileName, bool toClipboard, uint8_t bmpBit);
  bool SaveAsJpeg(QImage& bitmap, const QString& fileName, bool toClipboard, uint8_t quality, uint8_t method);
  bool SaveAsTga(QImage& bitmap, const QString& fileName, bool toClipboard);
  bool SaveAsPng(QImage& bitmap, const QString& fileName, bool toClipboard);

  // The extension of a path: from the last '.' after the last '/', at most four
  // characters, empty when there is none.
  static QString Extension(const QString& fileName);

 private:
  void cannotCreate(const QString& fileName);
  // A writer's result: the name published, or the box for its failure.
  bool finish(const PublishTarget& file, WriteResult result, const char* writeFailed);
  // The target of the save in progress.
  PublishTarget target(const QString& fileName) const { return PublishTarget{fileName, names_, {}}; }

  Dialogs& dialogs_;
  Clipboard& clipboard_;
  const Clock& clock_;
  NameSource* names_ = nullptr;
  QString published_;
};

}  // namespace lumora
