#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcessEnvironment>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <unistd.h>

#include "platform/fs/Autostart.h"
#include "platform/Desktop.h"
#include "app/ClipboardHolderMain.h"
#include "app/cli/CommandLine.h"
#include "app/tray/GermanInterface.h"
#include "app/cli/OneShot.h"
#include "app/tray/TrayApp.h"
#include "platform/fs/AtomicFile.h"
#include "platform/ipc/InstanceLock.h"
#include "platform/ipc/RunningInstance.h"
#include "platform/fs/RuntimeFolder.h"
#include "platform/fs/PathBytes.h"
#include "platform/ipc/QuitSignals.h"
#include "platform/clipboard/BackgroundClipboard.h"
#include "platform/clipboard/ClipboardHolder.h"
#include "platform/Clock.h"
#include "app/cli/StreamDialogs.h"
#include "settings/Defaults.h"
#include "settings/SettingsStartup.h"

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

// The backend for this run, or a one-line reason on standard error why there is
// no desktop to work with.
std::optional<Backend> desktopBackend(const char* what) {
  const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  const BackendChoice choice = ChooseBackend(env);
  if (!choice.backend) {
    std::fprintf(stderr, "lumora: %s\n", choice.error.toLocal8Bit().constData());
    return std::nullopt;
  }
  if (*choice.backend == Backend::X11 && !haveDisplay()) {
    std::fprintf(stderr, "lumora: no X display (DISPLAY is not set); %s needs one\n", what);
    return std::nullopt;
  }
  if (*choice.backend == Backend::Wayland && WaylandSocket(env).isEmpty()) {
    std::fprintf(stderr, "lumora: no Wayland compositor to connect to (WAYLAND_DISPLAY %s in XDG_RUNTIME_DIR %s)\n",
                 qPrintable(env.value(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"))),
                 qPrintable(env.value(QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("(not set)"))));
    return std::nullopt;
  }
  // Qt must speak to the same desktop as the grab: never X11 in a Wayland session.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QtPlatformFor(*choice.backend));
  return choice.backend;
}

int runCapture(const CommandLine& cl, int argc, char** argv) {
  const std::optional<Backend> backend = desktopBackend("a screenshot");
  if (!backend) return kFailed;
  // On Wayland the primary output's place on the desktop comes from Qt's view of
  // the compositor, and the portal's answer arrives through Qt's event loop.
  std::unique_ptr<QCoreApplication> app;
  if (*backend == Backend::Wayland) app = std::make_unique<QGuiApplication>(argc, argv);
  QString error;
  std::unique_ptr<Screen> screen = MakeCaptureScreen(*backend, error);
  if (!screen) {
    std::fprintf(stderr, "lumora: %s\n", error.toLocal8Bit().constData());
    return kFailed;
  }
  // A signal mid-write must not leave a hidden temporary file behind, and a closed
  // standard output is an error to report, not a reason to die.
  StrayFileCleanup::installSignalHandlers();
  std::signal(SIGPIPE, SIG_IGN);
  StreamDialogs dialogs(stderr, cl.yes);
  Settings settings;
  // The same start as the tray program: a first run or a damaged store gets the
  // defaults, stored at once. Nothing is saved at exit; the overrides are for this run.
  std::unique_ptr<Registry> registry = MachineRegistry();
  RegistryOp store(*registry, dialogs);
  InitShortcuts(store, settings.Shortcuts);
  LoadSettingsAtStart(store, dialogs, settings, screen->size(), DefaultFolder(programFolder(argv[0])));

  // Text needs the GUI side of Qt; a plain capture starts faster without it.
  if (!app) {
    if (settings.Beschriftung.Position != tpKeine)
      app = std::make_unique<QGuiApplication>(argc, argv);
    else
      app = std::make_unique<QCoreApplication>(argc, argv);
  }

  // This process leaves at once: a holder of its own keeps a clipboard picture.
  BackgroundClipboard clipboard;
  SystemClock clock;
  const int code = RunOneShot(cl, settings, *screen, dialogs, clipboard, clock, stdout);
  if (code == kFailed) {
    const QString reason = GrabFailureReason(*screen);
    if (!reason.isEmpty()) std::fprintf(stderr, "lumora: %s\n", reason.toLocal8Bit().constData());
  }
  // The file is in place and nothing else is left to keep: leave without taking
  // the libraries down one by one, which costs a one-shot capture a tenth of its time.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(code);
}

// The desktop a running Lumora is found by: the compositor in a Wayland session,
// otherwise the X server.
QString sessionKey(const std::optional<Backend>& backend) {
  return RunningInstance::SessionKey(backend && *backend == Backend::Wayland);
}

// Hands a verb to the running Lumora. A program that is still starting (its
// first-run greeting may be open) is given a few seconds to begin listening.
int sendToRunning(const QString& key, const QString& verb, int patienceMs) {
  const QByteArray command = verb.toLatin1();
  RunningInstance::SendResult result = RunningInstance::SendResult::NotRunning;
  for (int waited = 0;; waited += 200) {
    result = RunningInstance::Send(key, command);
    if (result != RunningInstance::SendResult::NotRunning || waited >= patienceMs) break;
    ::usleep(200000);
  }
  const QByteArray session = key.toLocal8Bit();
  if (result == RunningInstance::SendResult::NotRunning) {
    std::fprintf(stderr, "lumora: Lumora is not running on this display (%s); start it with: lumora\n",
                 session.constData());
    return 1;
  }
  if (result == RunningInstance::SendResult::Refused) {
    std::fprintf(stderr, "lumora: the running Lumora (%s) did not take --%s\n", session.constData(),
                 verb.toLatin1().constData());
    return 1;
  }
  if (verb == QLatin1String("quit")) {
    // Back only once the program has ended and its settings are saved.
    for (int waited = 0; RunningInstance::Listening(key) && waited < 20000; waited += 100) ::usleep(100000);
  }
  return 0;
}

int runVerb(const CommandLine& cl) {
  const QString key = sessionKey(ChooseBackend(QProcessEnvironment::systemEnvironment()).backend);
  if (key.isEmpty()) {
    std::fprintf(stderr, "lumora: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
    return 1;
  }
  // Only a program that holds the lock can answer; without one nothing waits.
  const int patience = InstanceLock(key).heldElsewhere() ? 5000 : 0;
  return sendToRunning(key, cl.verb, patience);
}

int runTray(int argc, char** argv) {
  const std::optional<Backend> backend = desktopBackend("Lumora");
  if (!backend) return 1;
  // One program per desktop; started again (from a launcher, say), it asks the
  // running one to show its window.
  RunningInstance instance(sessionKey(backend));
  if (instance.heldElsewhere()) return sendToRunning(sessionKey(backend), QStringLiteral("show"), 5000);
  if (!instance.acquired())
    std::fprintf(stderr, "lumora: no private folder for the single-instance lock; starting without it\n");
  QApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("lumora"));
  const GermanInterface german(app);
  if (!german.qtTranslated())
    std::fprintf(stderr, "lumora: %s is missing (package qt6-translations-l10n); Qt's own dialogs stay English\n",
                 GermanInterface::QtCatalogue().toLocal8Bit().constData());
  app.setQuitOnLastWindowClosed(false);  // the options window and dialogs only hide

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
  Settings settings;
  TrayApp tray(settings, programFolder(argv[0]), *backend);
  running = &tray;
  if (quitDuringStart) {
    tray.quit();
    return 0;
  }
  tray.start();
  if (instance.acquired() && !instance.listen([&tray](const QByteArray& verb) { return tray.command(verb); }))
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
      std::fprintf(stderr, "lumora: %s\n\n%s", cl.error.toUtf8().constData(), UsageText().toUtf8().constData());
      return kUsage;
    case CommandLine::Mode::Capture:
      return runCapture(cl, argc, argv);
    case CommandLine::Mode::Verb:
      return runVerb(cl);
    case CommandLine::Mode::Autostart:
      return AutostartCommand(Autostart(ConfigHome(), QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))),
                              cl.autostartOn, stdout, stderr);
    case CommandLine::Mode::Tray:
      break;
  }
  return runTray(argc, argv);
}
