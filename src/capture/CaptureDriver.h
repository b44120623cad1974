#pragma once

#include <QImage>
#include <QString>
#include <optional>

#include "capture/ImageSaver.h"
#include "capture/ScreenGrab.h"
#include "naming/FileNaming.h"
#include "platform/Dialogs.h"
#include "settings/Settings.h"

namespace lumora {

// The options window as a capture sees it. The command line has its own.
class CaptureView {
 public:
  virtual ~CaptureView() = default;
  virtual bool isShowing() const = 0;
  virtual void hideForCapture() = 0;
  virtual void showAfterCapture() = 0;
  virtual bool timerRunning() const = 0;
  // The thumbnail of the last saved capture.
  virtual void showLastPicture(const QImage& thumbnail) = 0;
  // The target of the last capture, or "In Zwischenablage".
  virtual void showLastFile(const QString& target) = 0;
  virtual void showNextFile() = 0;
};

// Carries one screenshot from the request to the written file or the clipboard.
class CaptureDriver {
 public:
  CaptureDriver(Settings& settings, Dialogs& dialogs, ScreenGrab& grab, FileNaming& naming, ImageSaver& saver,
                CaptureView& view, NamePrompt* prompt = nullptr)
      : s_(settings), dialogs_(dialogs), grab_(grab), naming_(naming), saver_(saver), view_(view), prompt_(prompt) {}

  // False only when the file-name prompt was cancelled; a declined warning or a
  // failed grab or save still answers true.
  // `area` replaces the stored selection for this capture (a window's frame).
  bool MakeScreenshot(const std::optional<ScreenRect>& area = std::nullopt);
  // The capture of a window, by its frame: the part on the screen, or all of it
  // where none is (a window on another monitor). Without a frame (no window has
  // the focus, or the desktop does not say where it is) an error box, and no
  // capture; true as above.
  bool MakeWindowScreenshot(const std::optional<ScreenRect>& frame);
  static ScreenRect WindowArea(const ScreenRect& frame, const ScreenRect& screen);
  static constexpr const char* kNoActiveWindow =
      "Es ist kein aktives Fenster zu erkennen.\n"
      "Bitte klicken Sie das gewünschte Fenster an und versuchen Sie es erneut.";
  // Whether the last MakeScreenshot saved its picture, to a file or the clipboard.
  bool lastCaptureSaved() const { return saved_; }

  // Captures go to NextFile as it stands, replacing a file there (the command
  // line's --output), instead of to the numbered proposal.
  void useFixedTarget() { fixedTarget_ = true; }

 private:
  Settings& s_;
  Dialogs& dialogs_;
  ScreenGrab& grab_;
  FileNaming& naming_;
  ImageSaver& saver_;
  CaptureView& view_;
  NamePrompt* prompt_;
  bool fixedTarget_ = false;
  bool saved_ = false;
};

}  // namespace lumora
