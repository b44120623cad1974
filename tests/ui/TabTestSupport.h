#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FakeDialogs.h"
#include "FakeOptionsWindow.h"
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

}  // namespace lumora::test
