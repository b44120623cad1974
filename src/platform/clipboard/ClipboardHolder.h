#pragma once

#include <QImage>
#include <QObject>
#include <QTimer>
#include <functional>
#include <sys/types.h>

#include "platform/ClipboardManager.h"

namespace lumora {

// The life of the background process that keeps a picture on the clipboard
// after the program that captured it has gone (see BackgroundClipboard). It
// works through Qt's clipboard alone, on whichever platform plugin the
// application runs; the backend's part is the clipboard manager.
class ClipboardHolder {
 public:
  // `finished` runs once there is nothing left to hold.
  ClipboardHolder(ClipboardManager& manager, std::function<void()> finished);

  // Puts the picture on the clipboard; false when the clipboard could not be taken.
  bool offer(const QImage& picture);
  // From now on: a clipboard manager, if one runs, is asked to keep the picture,
  // and the holder is finished once it confirms or once another program takes
  // the clipboard. A manager that declines leaves the picture with us.
  void keep();

  // The argument that starts the holder, and whether a process is one.
  static const char* Argument() { return "--clipboard-holder"; }
  static bool IsHolderProcess(pid_t pid);

 private:
  void check();
  void finish();

  ClipboardManager& manager_;
  std::function<void()> finished_;
  QObject context_;  // connections and timers end with the holder
  QTimer poll_;
  bool done_ = false;
};

}  // namespace lumora
