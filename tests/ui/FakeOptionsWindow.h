#pragma once

#include <QString>
#include <cstdint>
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
  void SetStatusTimer(const QString& text) override { timerText = text; }
  void SelectRegionCommand() override { ++regionSelections; }
  void OpenTargetFolder() override {}
  bool timerRunning() const override { return running; }
  void LockForTimer() override {}
  bool MakeScreenshot() override { return true; }

  int nextFileShown = 0;
  int statusPositionShown = 0;
  int regionSelections = 0;
  bool running = false;
  QString timerText;
  std::vector<std::pair<int64_t, int64_t>> statusSizes;
};

}  // namespace lumora::test
