#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "ui/OptionsWindow.h"

namespace lumora::test {

// Records what the pages ask of the window.
class FakeOptionsWindow : public OptionsWindow {
 public:
  void ShowNextFile() override { ++nextFileShown; }
  void SetStatusSize(int64_t width, int64_t height) override { statusSizes.emplace_back(width, height); }
  void SetStatusPosition() override { ++statusPositionShown; }
  void setStatusTimer(const QString& text) override { timerText = text; }
  void SelectRegionCommand() override { ++regionSelections; }
  void selectRegionButton() override { ++selectionRequests; }
  void openTargetFolder() override { ++foldersOpened; }
  bool timerRunning() const override { return running && running(); }
  void LockForTimer() override {
    if (lock) lock();
  }
  bool MakeScreenshot() override {
    ++captures;
    return true;
  }
  bool timerCapture() override { return !captureWaits && OptionsWindow::timerCapture(); }

  int nextFileShown = 0;
  int statusPositionShown = 0;
  int regionSelections = 0;
  int selectionRequests = 0;
  int foldersOpened = 0;
  int captures = 0;
  bool captureWaits = false;  // a box or another capture is in the timer's way
  QString timerText;
  std::vector<std::pair<int64_t, int64_t>> statusSizes;
  // What the real window asks of its pages: whether the timer runs, and the lock.
  std::function<bool()> running;
  std::function<void()> lock;
};

}  // namespace lumora::test
