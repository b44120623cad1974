// What the windows cost the opening of the selection overlay, on the X display in
// $DISPLAY with 50 windows of this process on it: the window list alone, and the
// opening (grab of the whole screen, the frozen copy, the list) with and without
// it. "Managed" runs the same under Openbox, started here and stopped at the end
// (skipped where openbox is not installed).
#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

#include "capture/ScreenGrab.h"
#include "platform/x11/XcbScreen.h"
#include "platform/x11/XcbWindowList.h"
#include "selection/SelectionOverlayLogic.h"
#include "settings/Settings.h"

extern char** environ;

using namespace lumora;

namespace {

constexpr int kWindows = 50;

struct Desktop {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  std::vector<xcb_window_t> windows;
  pid_t manager = -1;

  Desktop() {
    if (xcb_connection_has_error(c)) return;
    xcb_screen_t* s = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    for (int i = 0; i < kWindows; ++i) {
      const xcb_window_t w = xcb_generate_id(c);
      const uint32_t values[] = {s->white_pixel};
      xcb_create_window(c, XCB_COPY_FROM_PARENT, w, s->root, int16_t(40 + (i % 10) * 90), int16_t(40 + (i / 10) * 80),
                        300, 200, 1, XCB_WINDOW_CLASS_INPUT_OUTPUT, s->root_visual, XCB_CW_BACK_PIXEL, values);
      xcb_map_window(c, w);
      windows.push_back(w);
    }
    sync();
  }
  ~Desktop() {
    stopManager();
    for (xcb_window_t w : windows) xcb_destroy_window(c, w);
    xcb_disconnect(c);
  }
  void sync() { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }
  bool ok() const { return !xcb_connection_has_error(c) && windows.size() == size_t(kWindows); }

  bool startManager() {
    char program[] = "openbox", flag[] = "--sm-disable";
    char* argv[] = {program, flag, nullptr};
    if (posix_spawnp(&manager, "openbox", nullptr, nullptr, argv, environ) != 0) return false;
    // Managed once every window has its frame.
    for (int i = 0; i < 100; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      if (XcbWindowList(c).frames({}).size() == size_t(kWindows)) return true;
    }
    return false;
  }
  void stopManager() {
    if (manager <= 0) return;
    kill(manager, SIGTERM);
    waitpid(manager, nullptr, 0);
    manager = -1;
  }
};

Desktop& desktop() {
  static Desktop d;
  return d;
}

void prepare(benchmark::State& state, bool managed) {
  if (!desktop().ok()) state.SkipWithError("no X display");
  if (managed && desktop().manager <= 0 && !desktop().startManager()) state.SkipWithError("openbox did not start");
  if (!managed) desktop().stopManager();
}

void BM_WindowList(benchmark::State& state, bool managed) {
  prepare(state, managed);
  XcbWindowList list(desktop().c);
  size_t n = 0;
  for (auto _ : state) n = list.frames({}).size();
  state.SetLabel(std::to_string(n) + " windows");
}

// The overlay's opening: the freeze, and with `windows` the list beside it.
void BM_OverlayOpen(benchmark::State& state, bool managed, bool windows) {
  prepare(state, managed);
  static XcbScreen screen;
  SilentDialogs dialogs;
  ScreenGrab grab(screen, dialogs, std::chrono::milliseconds(0));
  MagnifierLogic magnifier(screen.size());
  SelectionOverlayLogic logic(grab, dialogs, magnifier);
  XcbWindowList list(desktop().c);
  if (windows)
    logic.setWindowSource([&] {
      std::vector<ScreenRect> out;
      for (const QRect& r : list.frames({})) out.push_back({r.left(), r.top(), r.right() + 1, r.bottom() + 1});
      return out;
    });
  for (auto _ : state)
    if (!logic.open(tpKeine, 14, ScreenRect{})) state.SkipWithError("grab failed");
  state.SetLabel(QStringLiteral("%1x%2").arg(screen.size().width()).arg(screen.size().height()).toStdString());
}

BENCHMARK_CAPTURE(BM_WindowList, unmanaged, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OverlayOpen, unmanaged_without_windows, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OverlayOpen, unmanaged_with_windows, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowList, managed, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OverlayOpen, managed_without_windows, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OverlayOpen, managed_with_windows, true, true)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
