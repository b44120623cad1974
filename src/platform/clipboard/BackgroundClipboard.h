#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <sys/types.h>

#include "platform/Clipboard.h"

namespace lumora {

// The clipboard of a program that leaves right after the capture. On X11 and
// Wayland the clipboard lives in the program that owns it, so the picture goes to
// a holder process of its own: started detached (own session, no terminal), given
// the picture over a socket, it offers the picture until another program takes
// the clipboard or a clipboard manager has kept it.
//
// The holder answers on the same socket once it owns the clipboard: "OK", or
// "ERR " and the reason.
class BackgroundClipboard : public Clipboard {
 public:
  // The holder is `program` (this program when empty) started with `arguments`;
  // it finds the socket as file descriptor kHolderFd and its standard streams on
  // /dev/null.
  explicit BackgroundClipboard(QString program = QString(),
                               QStringList arguments = {QStringLiteral("--clipboard-holder")},
                               std::chrono::milliseconds timeout = std::chrono::seconds(20));

  // Returns once the holder owns the clipboard. Throws with the reason when it
  // cannot be started, does not answer in time or reports a failure; a holder that
  // failed is ended by its id.
  void setImage(const QImage& image) override;

  // The holder's process id after a successful setImage.
  pid_t holderPid() const { return holderPid_; }

  static constexpr int kHolderFd = 3;

 private:
  QString program_;
  QStringList arguments_;
  std::chrono::milliseconds timeout_;
  pid_t holderPid_ = -1;
};

}  // namespace lumora
