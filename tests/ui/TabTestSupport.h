#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "naming/FileNaming.h"
#include "settings/Defaults.h"
#include "ui/OptionsWindow.h"

namespace lumora::test {

// Default settings aimed at an empty temporary folder, and everything a page needs.
struct TabFixture {
  TabFixture() {
    SetDefaults(settings, QSize(1280, 1024), dir.path() + QLatin1Char('/'));
    naming.AdvanceFileName(settings.Blank, false);
  }
  void touch(const QString& name) {
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
  }
  QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

  QTemporaryDir dir;
  Settings settings;
  FakeDialogs dialogs;
  FixedClock clock;
  FileNaming naming{settings, dialogs};
  OptionsContext ctx{settings, dialogs, clock, naming};
};

// Counts what the pages ask of the window.
class FakeOptionsWindow : public OptionsWindow {
 public:
  void ShowNextFile() override { ++nextFileShown; }
  void SetStatusSize(int64_t, int64_t) override {}
  void SetStatusPosition() override {}
  void SetStatusTimer(const QString&) override {}
  void SelectRegionCommand() override {}
  void OpenTargetFolder() override { ++foldersOpened; }
  bool timerRunning() const override { return running; }
  void LockForTimer() override {}
  bool MakeScreenshot() override { return true; }

  int nextFileShown = 0;
  int foldersOpened = 0;
  bool running = false;
};

}  // namespace lumora::test
