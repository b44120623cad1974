// One pointer move over the selection overlay on a 3840 x 2160 screen: erase the
// rubber band, move it, draw it again and refresh the magnifier, in the plain
// classes the window drives.
#include <benchmark/benchmark.h>

#include <cstring>

#include "capture/ScreenGrab.h"
#include "selection/SelectionOverlayLogic.h"
#include "settings/Settings.h"

namespace {

using namespace lumora;

constexpr int kWidth = 3840, kHeight = 2160;

class PictureScreen : public Screen {
 public:
  PictureScreen() : picture_(kWidth, kHeight, QImage::Format_RGB32) {
    for (int y = 0; y < kHeight; ++y) {
      auto* line = reinterpret_cast<uint32_t*>(picture_.scanLine(y));
      for (int x = 0; x < kWidth; ++x) line[x] = 0xff000000u | uint32_t(x * 2654435761u ^ y * 40503u);
    }
  }
  QSize size() const override { return picture_.size(); }
  bool grab(const ScreenRect&, QImage& target) override {
    target = picture_;
    return true;
  }

 private:
  QImage picture_;
};

struct Overlay {
  PictureScreen screen;
  SilentDialogs dialogs;
  ScreenGrab grab{screen, dialogs, std::chrono::milliseconds(0)};
  MagnifierLogic magnifier{QSize(kWidth, kHeight)};
  SelectionOverlayLogic logic{grab, dialogs, magnifier};
  Overlay() { logic.open(tpOben, 14, ScreenRect{0, 0, kWidth, kHeight}); }
};

// Dragging a frame nearly as large as the screen: the costliest rubber band.
void BM_PointerMoveDrawingFullScreenFrame(benchmark::State& state) {
  Overlay o;
  o.logic.mouseDown(5, 5, true);
  int i = 0;
  for (auto _ : state) {
    o.logic.mouseMove(kWidth - 10 - (i & 7), kHeight - 10 - (i & 7), true);
    benchmark::DoNotOptimize(o.logic.takeDirty());
    ++i;
  }
  o.logic.mouseUp(o.logic.LastMouseX, o.logic.LastMouseY);
}
BENCHMARK(BM_PointerMoveDrawingFullScreenFrame);

// Moving a 1600 x 1200 preset about the middle of the screen.
void BM_PointerMoveMovingPreset(benchmark::State& state) {
  Overlay o;
  o.logic.PlacePreset(1600, 1200);
  o.logic.mouseDown(kWidth / 2, kHeight / 2, true);
  int i = 0;
  for (auto _ : state) {
    o.logic.mouseMove(kWidth / 2 + (i & 15) - 8, kHeight / 2 + (i & 15) - 8, true);
    benchmark::DoNotOptimize(o.logic.takeDirty());
    ++i;
  }
  o.logic.mouseUp(o.logic.LastMouseX, o.logic.LastMouseY);
}
BENCHMARK(BM_PointerMoveMovingPreset);

// A move without a button: numbers and magnifier only.
void BM_PointerMoveHover(benchmark::State& state) {
  Overlay o;
  int i = 0;
  for (auto _ : state) {
    o.logic.mouseMove(1000 + (i & 63), 800, false);
    ++i;
  }
}
BENCHMARK(BM_PointerMoveHover);

// A move without a button from one large window to another over 50 windows:
// the old outline erased, the new one drawn, the numbers and the magnifier.
void BM_PointerMoveHoverBetweenWindows(benchmark::State& state) {
  Overlay o;
  o.logic.setWindowSource([] {
    std::vector<ScreenRect> windows;
    for (int i = 0; i < 48; ++i) windows.push_back({3000 + i, 2000 + i, 3100 + i, 2100 + i});
    windows.push_back({100, 100, 1900, 2000});
    windows.push_back({1900, 100, 3800, 2000});
    return windows;
  });
  o.logic.open(tpOben, 14, ScreenRect{0, 0, kWidth, kHeight});
  int i = 0;
  for (auto _ : state) {
    o.logic.mouseMove((i & 1) ? 1000 : 2800, 1000 + (i & 63), false);
    benchmark::DoNotOptimize(o.logic.takeDirty());
    ++i;
  }
}
BENCHMARK(BM_PointerMoveHoverBetweenWindows);

// For scale: what redrawing the whole frozen picture once would cost.
void BM_WholeFrameCopy(benchmark::State& state) {
  Overlay o;
  QImage target(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    std::memcpy(target.bits(), o.logic.surface().constBits(), size_t(o.logic.surface().sizeInBytes()));
    benchmark::DoNotOptimize(target.bits());
  }
}
BENCHMARK(BM_WholeFrameCopy);

}  // namespace

BENCHMARK_MAIN();
