#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "capture/CaptureDriver.h"
#include "selection/RegionSelector.h"
#include "ui/OptionsWindow.h"

namespace lumora {
class DesktopWindows;
}

class QLabel;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace lumora {

class FileTab;
class FormatTab;
class CaptionTab;
class SelectionTab;
class TimerTab;
class InfoTab;
class OptionsPage;

// The options window: six tabs, the button row and the status bar. Every control
// writes its setting at once; closing the window only hides it.
class TfrmMain : public QWidget, public OptionsWindow, public CaptureView {
  Q_OBJECT
 public:
  // The commands that reach beyond the window.
  struct Commands {
    std::function<bool()> makeScreenshot;
    // The timer's capture: false when it has to wait (see OptionsWindow).
    std::function<bool()> timerCapture;
    // The selection button's way to the region selection command.
    std::function<void()> requestSelectRegion;
    // What the region selection command runs.
    RegionSelector* selector = nullptr;
    std::function<void()> openTargetFolder;
    // Flips the screensaver switch; returns the button's new caption.
    std::function<QString()> toggleScreensaver;
    // The whole screen as chosen, and the primary monitor alone (the overlay's).
    std::function<QSize()> screenSize;
    std::function<QSize()> primarySize;
    // How the window is put back where it stood after it hid for a capture.
    DesktopWindows* windows = nullptr;
  };

  TfrmMain(OptionsContext& context, Commands commands, QWidget* parent = nullptr);
  ~TfrmMain() override;

  // The controls from the settings, then the window's initial state.
  void LoadSettingsIntoControls();
  void InitWindowState();
  // The defaults into the settings and the controls, then the initial state again.
  void ResetSettings(const QString& defaultFolder);

  // OptionsWindow
  void ShowNextFile() override;
  void SetStatusSize(int64_t width, int64_t height) override;
  void SetStatusPosition() override;
  void setStatusTimer(const QString& text) override;
  void SelectRegionCommand() override;
  void openTargetFolder() override;
  bool timerRunning() const override;
  void LockForTimer() override;
  bool MakeScreenshot() override;
  bool timerCapture() override;
  void selectRegionButton() override;

  // CaptureView
  bool isShowing() const override { return isVisible(); }
  void hideForCapture() override { hideKeepingPlace(); }
  void showAfterCapture() override { showInPlace(); }
  void showLastPicture(const QImage& thumbnail) override;
  void showLastFile(const QString& target) override;
  void showNextFile() override { ShowNextFile(); }

  QTabWidget* pages() const { return pgRegisterkarten_; }
  QStatusBar* statusBar() const { return sbInfo_; }
  QString panelText(int panel) const;
  FileTab* fileTab() const { return fileTab_; }
  FormatTab* formatTab() const { return formatTab_; }
  CaptionTab* captionTab() const { return captionTab_; }
  SelectionTab* selectionTab() const { return selectionTab_; }
  TimerTab* timerTab() const { return timerTab_; }

 private:
  std::array<OptionsPage*, 6> allPages() const;
  // Out of the picture for a moment, and back where it stood: not over the
  // window the user works in, and with the keyboard only if it had it.
  void hideKeepingPlace();
  void showInPlace();

  OptionsContext& ctx_;
  Commands commands_;
  std::function<void()> putBack_;
  bool hadKeyboard_ = false;
  QTabWidget* pgRegisterkarten_ = nullptr;
  FileTab* fileTab_ = nullptr;
  FormatTab* formatTab_ = nullptr;
  CaptionTab* captionTab_ = nullptr;
  SelectionTab* selectionTab_ = nullptr;
  TimerTab* timerTab_ = nullptr;
  InfoTab* infoTab_ = nullptr;
  QPushButton* btnScreenSaver_ = nullptr;
  QPushButton* btnScreenshot_ = nullptr;
  QPushButton* btnBeenden_ = nullptr;
  QStatusBar* sbInfo_ = nullptr;
  std::array<QLabel*, 5> panels_{};
};

}  // namespace lumora
