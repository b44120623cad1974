#include "app/cli/OneShot.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <thread>
#include <unistd.h>

#include "app/cli/Leftovers.h"
#include "capture/CaptureDriver.h"
#include "capture/Formats.h"
#include "platform/Desktop.h"
#include "platform/ErrorReport.h"
#include "platform/clipboard/BackgroundClipboard.h"
#include "platform/fs/AtomicFile.h"
#include "platform/fs/PathBytes.h"
#include "settings/Defaults.h"
#include "settings/SettingsStartup.h"
#include "settings/store/RegFileRegistry.h"
#include "settings/store/Registry.h"

namespace lumora {

namespace {

// The command line has no options window: nothing to hide or show, and the
// last-capture display is the one line printed at the end.
class CommandLineView : public CaptureView {
 public:
  bool isShowing() const override { return false; }
  void hideForCapture() override {}
  void showAfterCapture() override {}
  bool timerRunning() const override { return false; }
  void showLastPicture(const QImage&) override {}
  void showLastFile(const QString& target) override {
    saved = true;
    lastTarget = target;
  }
  void showNextFile() override {}

  bool saved = false;
  QString lastTarget;
};

// The name as given, made absolute without passing it through a text encoding.
QString AbsolutePath(const QString& path) {
  if (QDir::isAbsolutePath(path)) return QDir::cleanPath(path);
  char cwd[PATH_MAX];
  if (!::getcwd(cwd, sizeof cwd)) return QFileInfo(path).absoluteFilePath();
  return QDir::cleanPath(DecodePath(QByteArray(cwd)) + QLatin1Char('/') + path);
}

}  // namespace

int RunOneShot(const CommandLine& cl, Settings& settings, Screen& screen, StreamDialogs& dialogs,
               Clipboard& clipboard, const Clock& clock, std::FILE* out, bool unnamedFiles,
               const std::function<std::optional<ScreenRect>()>& activeWindow) {
  // The command line never prompts for a name.
  settings.Datei.Eingabeaufforderung = false;
  if (cl.pointer) settings.Bildschirm.Mauszeiger = true;
  if (cl.screen) settings.Bildschirm.Bereich = *cl.screen;
  if (cl.region) {
    settings.Auswahl.Sel_Left = cl.region->Left;
    settings.Auswahl.Sel_Top = cl.region->Top;
    settings.Auswahl.Sel_Right = cl.region->Right;
    settings.Auswahl.Sel_Bottom = cl.region->Bottom;
    settings.Auswahl.Aktiv = true;
  }

  // The window is the one that has the focus once the delay is over: the wait
  // comes before it is asked, not before the grab.
  ScreenGrab grab(screen, dialogs, std::chrono::milliseconds(cl.window ? 0 : cl.delayMs));
  grab.followChoice(settings.Bildschirm);
  FileNaming naming(settings, dialogs);
  ImageSaver saver(dialogs, clipboard, clock, unnamedFiles);
  CommandLineView view;
  CaptureDriver driver(settings, dialogs, grab, naming, saver, view);

  if (!cl.output.isEmpty()) {
    // An explicit file: its extension chooses the format, and the warnings judge that format.
    settings.Datei.SameFile = false;
    settings.Datei.Clipboard = false;
    settings.Datei.NextFile = AbsolutePath(cl.output);
    const FormatInfo* format = FormatOfFileName(settings.Datei.NextFile);
    settings.Datei.FileSuffix = format ? QLatin1String(format->suffix) : QString();
    saver.acceptTypedNames();
    driver.useFixedTarget();
  } else {
    // As the options window does at start: a stored extension that names no format
    // (a hand-edited ".jpeg" arrives cut to ".jpe") falls back to the first, BMP.
    if (!FormatFromSuffix(settings.Datei.FileSuffix))
      settings.Datei.FileSuffix = QLatin1String(kFormats[0].suffix);
    settings.Datei.Counter = 0;
    naming.AdvanceFileName(settings.Blank, false);
  }

  const bool ok = runGuarded(dialogs, [&] {
    if (!cl.window) {
      driver.MakeScreenshot();
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(cl.delayMs));
    driver.MakeWindowScreenshot(activeWindow ? activeWindow() : std::nullopt);
  });
  if (ok && view.saved) {
    // The name as the file system has it, byte for byte, but never a control
    // character that a terminal would act on.
    const QByteArray line = PrintablePath(EncodePath(view.lastTarget)) + '\n';
    const bool printed = std::fwrite(line.constData(), 1, size_t(line.size()), out) == size_t(line.size()) &&
                         std::fflush(out) == 0;
    if (!printed) {
      std::fprintf(stderr, "lumora: the picture was saved, but its name could not be written to standard output\n");
      return kFailed;
    }
    return kSaved;
  }
  if (ok && dialogs.confirmationsDeclined() > 0) return kDeclined;
  return kFailed;
}

int RunCaptureCommand(const CommandLine& cl, const Desktop& desktop, const ProgramPlace& program, int argc,
                      char** argv) {
  // Where the screen comes through Qt's event loop (the desktop portal), the
  // application object comes first.
  std::unique_ptr<QCoreApplication> app;
  if (desktop.captureNeedsApplication()) app = std::make_unique<QGuiApplication>(argc, argv);
  QString error;
  std::unique_ptr<Screen> screen = desktop.captureScreen(error);
  if (!screen) {
    std::fprintf(stderr, "lumora: %s\n", error.toLocal8Bit().constData());
    return kFailed;
  }
  // The desktop may be asking the person first; whoever waits at the terminal hears why.
  screen->onWaiting = [](const QString& what) { std::fprintf(stderr, "lumora: %s\n", what.toLocal8Bit().constData()); };
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
  LoadSettingsAtStart(store, dialogs, settings, screen->size(), DefaultFolder(program));
  SweepLeftovers(settings, RegFileRegistry::DefaultPath());

  // Text needs the GUI side of Qt. A plain capture needs no application object at
  // all: without one it also skips the locale set-up and Qt's start-up work.
  if (!app && settings.Beschriftung.Position != tpKeine) app = std::make_unique<QGuiApplication>(argc, argv);

  // This process leaves at once: a holder of its own keeps a clipboard picture.
  BackgroundClipboard clipboard;
  SystemClock clock;
  const int code =
      RunOneShot(cl, settings, *screen, dialogs, clipboard, clock, stdout, desktop.options().unnamedFiles,
                 [&desktop] { return desktop.activeWindowFrame(); });
  if (code == kFailed) {
    const QString reason = screen->lastError();
    if (!reason.isEmpty()) std::fprintf(stderr, "lumora: %s\n", reason.toLocal8Bit().constData());
  }
  // The file is in place and nothing else is left to keep: leave without taking
  // the libraries down one by one, which costs a one-shot capture a tenth of its time.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(code);
}

}  // namespace lumora
