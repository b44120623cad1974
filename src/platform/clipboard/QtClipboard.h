#pragma once

#include <QImage>
#include <QPointer>
#include <QStringList>

#include "platform/Clipboard.h"

class QMimeData;

namespace lumora {

// The picture as other programs are offered it: true colour, as a QImage, which
// Qt serves as image/png, image/bmp and every other format its image writers know.
QMimeData* PictureMimeData(const QImage& image);

// The MIME types a clipboard manager is asked to keep.
QStringList KeptPictureTypes();

// The clipboard of the running Qt GUI application.
class QtClipboard : public Clipboard {
 public:
  void setImage(const QImage& image) override;

  // Whether the clipboard still holds the picture put there last: no other
  // program took the clipboard since, and nothing else of ours replaced it.
  bool holdsPicture() const;
  // Before the program ends: gives the picture still held to `next`, which keeps
  // it beyond this process, then waits (a second at most) until this process no
  // longer owns the clipboard, so that Qt's teardown has nothing of ours left to
  // hand over. `next.setImage` may throw.
  void passOn(Clipboard& next);

 private:
  QImage picture_;
  QPointer<QMimeData> offered_;
};

}  // namespace lumora
