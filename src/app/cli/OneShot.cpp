#include "app/cli/OneShot.h"

#include <QDir>
#include <QFileInfo>
#include <climits>
#include <unistd.h>
#include <chrono>

#include "capture/CaptureDriver.h"
#include "platform/ErrorReport.h"
#include "platform/fs/PathBytes.h"
#include "ui/FormatTabLogic.h"

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
               Clipboard& clipboard, const Clock& clock, std::FILE* out) {
  // The command line never prompts for a name.
  settings.Datei.Eingabeaufforderung = false;
  if (cl.region) {
    settings.Auswahl.Sel_Left = cl.region->Left;
    settings.Auswahl.Sel_Top = cl.region->Top;
    settings.Auswahl.Sel_Right = cl.region->Right;
    settings.Auswahl.Sel_Bottom = cl.region->Bottom;
    settings.Auswahl.Aktiv = true;
  }

  ScreenGrab grab(screen, dialogs, std::chrono::milliseconds(cl.delayMs));
  FileNaming naming(settings, dialogs);
  ImageSaver saver(dialogs, clipboard, clock);
  CommandLineView view;
  CaptureDriver driver(settings, dialogs, grab, naming, saver, view);

  if (!cl.output.isEmpty()) {
    // An explicit file: its extension chooses the format, and the warnings judge that format.
    settings.Datei.SameFile = false;
    settings.Datei.Clipboard = false;
    settings.Datei.NextFile = AbsolutePath(cl.output);
    settings.Datei.FileSuffix = ImageSaver::Extension(settings.Datei.NextFile);
    driver.useFixedTarget();
  } else {
    // As the options window does at start: a stored extension that names no format
    // (a hand-edited ".jpeg" arrives cut to ".jpe") falls back to the first, BMP.
    if (FormatTabLogic::FormatIndexFromSuffix(settings.Datei.FileSuffix) < 0)
      settings.Datei.FileSuffix = FormatTabLogic::SuffixFromFormatIndex(0);
    settings.Datei.Counter = 0;
    naming.AdvanceFileName(settings.Blank, false);
  }

  const bool ok = runGuarded(dialogs, [&] { driver.MakeScreenshot(); });
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

}  // namespace lumora
