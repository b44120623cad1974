#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QProcessEnvironment>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "app/ClipboardHolderMain.h"
#include "app/cli/AutostartCommand.h"
#include "app/cli/CommandLine.h"
#include "app/cli/OneShot.h"
#include "app/cli/Verbs.h"
#include "app/tray/GermanInterface.h"
#include "app/tray/TrayApp.h"
#include "platform/Desktop.h"
#include "platform/clipboard/ClipboardHolder.h"
#include "platform/fs/Autostart.h"
#include "platform/fs/PathBytes.h"
#include "platform/fs/RuntimeFolder.h"
#include "platform/ipc/QuitSignals.h"
#include "platform/ipc/RunningInstance.h"

using namespace lumora;

namespace {

ProgramPlace programPlace(const char* argv0) {
  // The running executable's own folder, without needing an application object.
  QString exe = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
  if (exe.isEmpty()) exe = QString::fromLocal8Bit(argv0);
  return {QFileInfo(exe).absolutePath(), QStringLiteral(LUMORA_BUILD_FOLDER)};
}

// The desktop for this run, or a one-line reason on standard error why there is
// no desktop to work with.
std::optional<Desktop> reachDesktop(const char* what) {
  QString error;
  std::optional<Desktop> desktop = Desktop::FromEnvironment(QProcessEnvironment::systemEnvironment(), error);
  if (desktop) error = desktop->unreachable(what);
  QString note;
  if (error.isEmpty()) {
    const QtPlatformChoice platform = desktop->chooseQtPlatform();
    error = platform.error;
    note = platform.note;
  }
  if (!error.isEmpty()) {
    std::fprintf(stderr, "lumora: %s\n", error.toLocal8Bit().constData());
    return std::nullopt;
  }
  if (!note.isEmpty()) std::fprintf(stderr, "lumora: %s\n", note.toLocal8Bit().constData());
  return desktop;
}

int runTray(int argc, char** argv) {
  const std::optional<Desktop> desktop = reachDesktop("Lumora");
  if (!desktop) return 1;
  // One program per desktop; started again (from a launcher, say), it asks the
  // running one to show its window.
  const QString key = desktop->sessionKey();
  RunningInstance instance(key);
  if (instance.heldElsewhere()) return SendToRunning(key, QStringLiteral("show"), 5000);
  if (!instance.acquired())
    std::fprintf(stderr, "lumora: no private folder for the single-instance lock; starting without it\n");
  QApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("lumora"));
  const GermanInterface german(app);
  if (!german.qtTranslated())
    std::fprintf(stderr, "lumora: %s is missing (package qt6-translations-l10n); Qt's own dialogs stay English\n",
                 GermanInterface::QtCatalogue().toLocal8Bit().constData());
  app.setQuitOnLastWindowClosed(false);  // the options window and dialogs only hide
  // Every window, boxes and dialogs included, carries the program's icon.
  app.setWindowIcon(QIcon(QStringLiteral(":/lumora/icon32.png")));

  // Ctrl+C or the end of the session: the program ends through its exit sequence.
  // One that arrives while start-up still shows a message box closes the box and
  // ends the program as soon as its windows exist.
  TrayApp* running = nullptr;
  bool quitDuringStart = false;
  int quitRequests = 0;
  QuitSignals signals([&] {
    // The first request saves the settings on its way out, before this returns;
    // should the program still be here when another one comes, it simply ends.
    if (++quitRequests > 1) std::_Exit(0);
    if (running) {
      running->quit();
    } else {
      quitDuringStart = true;
      QCoreApplication::exit(0);
    }
  });
  // Taking commands from the start: another start while the first-run welcome
  // is still open reaches this program, which brings the welcome to the front.
  bool listening = false;
  auto duringStart = [&](const QByteArray& verb) -> RunningInstance::Action {
    if (running) return running->command(verb);
    if (verb == "show")
      return [](const RunningInstance::Reply& reply) {
        if (QWidget* box = QApplication::activeModalWidget()) {
          box->raise();
          box->activateWindow();
        }
        reply.done(RunningInstance::Outcome::Done);
      };
    if (verb == "quit")
      return [&](const RunningInstance::Reply& reply) {
        reply.done(RunningInstance::Outcome::Done);
        quitDuringStart = true;
        QCoreApplication::exit(0);
      };
    return [](const RunningInstance::Reply& reply) { reply.done(RunningInstance::Outcome::Busy); };
  };
  if (instance.acquired()) listening = instance.listen(duringStart);
  Settings settings;
  TrayApp tray(settings, programPlace(argv[0]), *desktop);
  running = &tray;
  if (quitDuringStart) {
    tray.quit();
    return 0;
  }
  tray.start();
  if (instance.acquired() && !listening)
    std::fprintf(stderr, "lumora: cannot listen for lumora --show, --select, --shot and --quit\n");
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], ClipboardHolder::Argument()) == 0) RunClipboardHolder(argc, argv);
  QStringList args;
  // File names are bytes: decoded so that they come back byte for byte.
  for (int i = 1; i < argc; ++i) args << DecodePath(QByteArray(argv[i]));
  const CommandLine cl = ParseCommandLine(args);
  switch (cl.mode) {
    case CommandLine::Mode::Help:
      std::fputs(UsageText().toUtf8().constData(), stdout);
      return 0;
    case CommandLine::Mode::Version:
      std::printf("lumora %s\n", LUMORA_VERSION);
      return 0;
    case CommandLine::Mode::Invalid:
      std::fputs(UsageError(cl).toUtf8().constData(), stderr);
      return kUsage;
    case CommandLine::Mode::Capture: {
      const std::optional<Desktop> desktop = reachDesktop("a screenshot");
      return desktop ? RunCaptureCommand(cl, *desktop, programPlace(argv[0]), argc, argv) : int(kFailed);
    }
    case CommandLine::Mode::Verb: {
      QString ignored;
      const std::optional<Desktop> desktop =
          Desktop::FromEnvironment(QProcessEnvironment::systemEnvironment(), ignored);
      return RunVerb(cl, desktop ? &*desktop : nullptr, QFile::symLinkTarget(QStringLiteral("/proc/self/exe")));
    }
    case CommandLine::Mode::Autostart:
      return AutostartCommand(Autostart(ConfigHome(), QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))),
                              cl.autostartOn, stdout, stderr);
    case CommandLine::Mode::Tray:
      break;
  }
  return runTray(argc, argv);
}
