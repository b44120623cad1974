#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/CommandLine.h"
#include "app/OneShot.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/StreamDialogs.h"
#include "platform/XcbScreen.h"
#include "settings/Defaults.h"

using namespace lumora;

namespace {

QString programFolder(const char* argv0) {
  // The running executable's own folder, without needing an application object.
  QString exe = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
  if (exe.isEmpty()) exe = QString::fromLocal8Bit(argv0);
  return QFileInfo(exe).absolutePath();
}

bool haveDisplay() {
  const char* display = std::getenv("DISPLAY");
  return display && *display;
}

int runCapture(const CommandLine& cl, int argc, char** argv) {
  if (!haveDisplay()) {
    std::fprintf(stderr, "lumora: no X display (DISPLAY is not set); a screenshot needs one\n");
    return kFailed;
  }
  XcbScreen screen;
  if (!screen.connected()) {
    std::fprintf(stderr, "lumora: cannot open the X display %s\n", std::getenv("DISPLAY"));
    return kFailed;
  }
  StreamDialogs dialogs(stderr, cl.yes);
  Settings settings;
  SetDefaults(settings, screen.size(), DefaultFolder(programFolder(argv[0])));

  // Text and the clipboard need the GUI side of Qt; a plain capture starts faster without it.
  std::unique_ptr<QCoreApplication> app;
  if (settings.Beschriftung.Position != tpKeine || settings.Datei.Clipboard)
    app = std::make_unique<QGuiApplication>(argc, argv);
  else
    app = std::make_unique<QCoreApplication>(argc, argv);

  QtClipboard clipboard;
  SystemClock clock;
  return RunOneShot(cl, settings, screen, dialogs, clipboard, clock, stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  const CommandLine cl = ParseCommandLine(args);
  switch (cl.mode) {
    case CommandLine::Mode::Help:
      std::fputs(UsageText().toUtf8().constData(), stdout);
      return 0;
    case CommandLine::Mode::Version:
      std::printf("lumora %s\n", LUMORA_VERSION);
      return 0;
    case CommandLine::Mode::Invalid:
      std::fprintf(stderr, "lumora: %s\n\n%s", cl.error.toUtf8().constData(), UsageText().toUtf8().constData());
      return kUsage;
    case CommandLine::Mode::Capture:
      return runCapture(cl, argc, argv);
    case CommandLine::Mode::Tray:
      break;
  }
  std::fprintf(stderr, "lumora: the tray program is not built yet; use lumora --capture\n");
  return kUsage;
}
