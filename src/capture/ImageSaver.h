#pragma once

#include <QImage>
#include <QString>

#include "capture/BmpWriter.h"
#include "capture/Formats.h"
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
  // Without `unnamedFiles` files are written through hidden temporary names, as
  // on filesystems that have no unnamed ones.
  ImageSaver(Dialogs& dialogs, Clipboard& clipboard, const Clock& clock, bool unnamedFiles = true)
      : dialogs_(dialogs), clipboard_(clipboard), clock_(clock), unnamedFiles_(unnamedFiles) {}

  // The names the program builds end in the exact extension of the settings; a
  // name a user typed (`--output`) picks its format in any letter case.
  void acceptTypedNames() { typedNames_ = true; }

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

 private:
  // Every format's road once its picture is converted: onto the clipboard, or
  // written by `write` into the file, with the box for a failure.
  template <typename Write>
  bool deliver(const QImage& bitmap, const QString& fileName, bool toClipboard, OutputFormat format, Write&& write);

  Dialogs& dialogs_;
  Clipboard& clipboard_;
  const Clock& clock_;
  bool unnamedFiles_;
  bool typedNames_ = false;
  NameSource* names_ = nullptr;
  QString published_;
};

}  // namespace lumora
