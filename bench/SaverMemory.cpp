// Peak memory of one 4K JPEG capture: grab, working copy, SaveImage. Prints the
// growth of the peak resident size over the settled process against the budget
// of the grab plus one working copy plus the compressed stream.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <string>

#include "SaverBenchSupport.h"
#include "capture/ImageSaver.h"
#include "capture/ScreenGrab.h"
#include "app/cli/StreamDialogs.h"

using namespace lumora;
using namespace lumora::bench;

namespace {

long statusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int height = argc > 1 ? std::atoi(argv[1]) : 2160;
  const int width = height * 16 / 9;
  PictureScreen screen(PhotoLike(width, height));
  StreamDialogs dialogs(stderr, false);
  NoClipboard clipboard;
  NoonClock clock;
  ImageSaver saver(dialogs, clipboard, clock);
  ScreenGrab grab(screen, dialogs, std::chrono::milliseconds(0));
  const QString path = QDir::tempPath() + QStringLiteral("/lumora-saver-memory.jpg");
  tBeschriftung noCaption;
  noCaption.Position = tpKeine;

  malloc_trim(0);
  // Resets the peak (VmHWM) to the present resident size.
  { std::ofstream("/proc/self/clear_refs") << "5"; }
  const long before = statusKb("VmRSS:");
  bool ok = grab.GrabScreen(grab.wholeScreen());
  if (ok) {
    QImage working = grab.GrabBitmap();
    ok = saver.SaveImage(working, path, false, noCaption, FormatSettings{pf24Bit, 80, jmQuality});
  }
  const long peak = statusKb("VmHWM:");
  const long stream = long(QFileInfo(path).size() / 1024);
  QFile::remove(path);
  if (!ok) return 1;
  const long frame = long(width) * height * 4 / 1024;
  std::printf("%dx%d JPEG q80 capture: peak growth %ld KiB; grab %ld KiB, stream %ld KiB\n", width, height,
              peak - before, frame, stream);
  std::printf("budget grab + working copy + stream: %ld KiB -> %s (%.2f of budget)\n", 2 * frame + stream,
              peak - before < 2 * frame + stream ? "met" : "MISSED", double(peak - before) / (2 * frame + stream));
  return 0;
}
