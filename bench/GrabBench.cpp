// The grab and the 24-bit BMP path on the X display in $DISPLAY (scripts/bench
// starts a 1080p and a 4K Xvfb). Each step alone, then grab plus BMP as a capture
// runs them.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QImage>
#include <cstdio>

#include "capture/BmpWriter.h"
#include "capture/ScreenGrab.h"
#include "platform/StreamDialogs.h"
#include "platform/XcbScreen.h"

using namespace lumora;

namespace {

XcbScreen& screen() {
  static XcbScreen s;  // one connection and one kept segment, as in the program
  return s;
}

QString target() { return QDir::tempPath() + QStringLiteral("/lumora-grab-bench.bmp"); }

void BM_Grab(benchmark::State& state) {
  QImage image;
  const QSize size = screen().size();
  for (auto _ : state) {
    if (!screen().grab(ScreenRect{0, 0, size.width(), size.height()}, image)) state.SkipWithError("grab failed");
    benchmark::DoNotOptimize(image.constBits());
  }
  state.SetLabel(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
}

void BM_WriteBmp24(benchmark::State& state) {
  QImage image;
  const QSize size = screen().size();
  screen().grab(ScreenRect{0, 0, size.width(), size.height()}, image);
  for (auto _ : state)
    if (WriteBmp24(target(), image) != WriteResult::Ok) state.SkipWithError("write failed");
}

void BM_GrabPlusBmp(benchmark::State& state) {
  StreamDialogs dialogs(stderr, false);
  ScreenGrab grab(screen(), dialogs, std::chrono::milliseconds(0));
  for (auto _ : state) {
    if (!grab.GrabScreen(grab.wholeScreen())) state.SkipWithError("grab failed");
    QImage working = grab.GrabBitmap();
    if (WriteBmp24(target(), working) != WriteResult::Ok) state.SkipWithError("write failed");
  }
}

}  // namespace

BENCHMARK(BM_Grab)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBmp24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrabPlusBmp)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (!screen().connected()) {
    std::fprintf(stderr, "grab_bench: needs an X display in DISPLAY\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::remove(target().toLocal8Bit().constData());
  return 0;
}
