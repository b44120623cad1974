// The grab and the 24-bit BMP path on the X display in $DISPLAY (scripts/bench
// starts a 1080p and a 4K Xvfb). Each step alone, then grab plus BMP as a capture
// runs them.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QImage>
#include <cstdio>

#include <fcntl.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <vector>

#include "capture/BmpWriter.h"
#include "capture/ScreenGrab.h"
#include "app/cli/StreamDialogs.h"
#include "platform/x11/XcbScreen.h"

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

// What asking the server for the screen as it is now costs, per capture.
void BM_ScreenGeometry(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(screen().size());
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

// The bare parts, as a plain C program would do them: the yardstick for the
// program's own path in the same run.
void BM_BareShmGet(benchmark::State& state) {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  xcb_screen_t* scr = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const size_t bytes = size_t(scr->width_in_pixels) * scr->height_in_pixels * 4;
  const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  void* addr = shmat(id, nullptr, 0);
  const xcb_shm_seg_t seg = xcb_generate_id(c);
  std::free(xcb_request_check(c, xcb_shm_attach_checked(c, seg, uint32_t(id), 0)));
  shmctl(id, IPC_RMID, nullptr);
  for (auto _ : state) {
    std::free(xcb_shm_get_image_reply(
        c, xcb_shm_get_image(c, scr->root, 0, 0, scr->width_in_pixels, scr->height_in_pixels, ~0u,
                             XCB_IMAGE_FORMAT_Z_PIXMAP, seg, 0),
        nullptr));
    benchmark::DoNotOptimize(addr);
  }
  xcb_shm_detach(c, seg);
  shmdt(addr);
  xcb_disconnect(c);
}

void BM_BarePack24(benchmark::State& state) {
  QImage image;
  const QSize size = screen().size();
  screen().grab(ScreenRect{0, 0, size.width(), size.height()}, image);
  const size_t stride = (size_t(size.width()) * 3 + 3) & ~size_t(3);
  std::vector<uint8_t> out(stride * size_t(size.height()));
  for (auto _ : state) {
    for (int y = 0; y < size.height(); ++y) {
      const uint8_t* in = image.constScanLine(size.height() - 1 - y);
      uint8_t* o = out.data() + stride * size_t(y);
      for (int x = 0; x < size.width(); ++x, in += 4, o += 3) {
        o[0] = in[0];
        o[1] = in[1];
        o[2] = in[2];
      }
    }
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_BareWrite(benchmark::State& state) {
  const QSize size = screen().size();
  const std::vector<uint8_t> data(((size_t(size.width()) * 3 + 3) & ~size_t(3)) * size_t(size.height()) + 54, 7);
  const QByteArray path = target().toLocal8Bit();
  for (auto _ : state) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (::write(fd, data.data(), data.size()) != ssize_t(data.size())) state.SkipWithError("write failed");
    ::close(fd);
  }
}

}  // namespace

BENCHMARK(BM_BareShmGet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BarePack24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grab)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenGeometry)->Unit(benchmark::kMicrosecond);
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
