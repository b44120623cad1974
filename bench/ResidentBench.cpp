// The resident program's capture to a JPEG file (q80), step by step, beside the
// floor: a bare C capture with a kept shared segment, libjpeg reading the segment
// and one plain write. Both run on the X display in $DISPLAY, alternately, RUNS
// times (first argument, default 41); the fixed wait before the grab is left out
// of both. Prints the median of each step and of the whole, and the ratio of the
// whole to the floor.
//
// Steps of the program: naming (the target and the checks before the grab), grab
// (shared segment read and copy into the kept picture), thumbnail, encode,
// publish (an unnamed file linked under the next numbered name), then what follows
// the file (the last capture shown, the next name found). Every capture writes a
// new file, the floor's too. The hotkey's own way to the driver (X
// event, Qt's filter, the guard) costs microseconds and the info popup comes
// after the file; neither is in these figures.
#include <QDir>
#include <QFile>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <jpeglib.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include "SaverBenchSupport.h"
#include "app/cli/StreamDialogs.h"
#include "capture/CaptureDriver.h"
#include "capture/JpegWriter.h"
#include "capture/OptionCheck.h"
#include "platform/fs/AtomicFile.h"
#include "platform/x11/XcbScreen.h"
#include "raster/PixelOps.h"
#include "settings/Defaults.h"

using namespace lumora;
using Steady = std::chrono::steady_clock;

namespace {

// A moment on two clocks: the wall's, and the CPU time this process has used (its
// system time included), which a machine busy with other work leaves alone.
struct Mark {
  Steady::time_point wall;
  double cpu;
};
Mark now() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return {Steady::now(), double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6};
}
double ms(const Mark& a, const Mark& b) { return std::chrono::duration<double, std::milli>(b.wall - a.wall).count(); }
double cpuMs(const Mark& a, const Mark& b) { return b.cpu - a.cpu; }

class NoWindow : public CaptureView {
 public:
  bool isShowing() const override { return false; }
  void hideForCapture() override {}
  void showAfterCapture() override {}
  bool timerRunning() const override { return false; }
  void showLastPicture(const QImage& thumbnail) override { last = thumbnail; }
  void showLastFile(const QString&) override {}
  void showNextFile() override {}
  QImage last;
};

// What a plain C program does: one connection and segment kept, the frame read
// into it, libjpeg fed straight from it, the stream written with one write().
class BareCapture {
 public:
  BareCapture() {
    c_ = xcb_connect(nullptr, nullptr);
    screen_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    const size_t bytes = size_t(screen_->width_in_pixels) * screen_->height_in_pixels * 4;
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    addr_ = static_cast<uint8_t*>(shmat(id, nullptr, 0));
    seg_ = xcb_generate_id(c_);
    std::free(xcb_request_check(c_, xcb_shm_attach_checked(c_, seg_, uint32_t(id), 0)));
    shmctl(id, IPC_RMID, nullptr);
  }
  ~BareCapture() {
    xcb_shm_detach(c_, seg_);
    shmdt(addr_);
    xcb_disconnect(c_);
  }

  void run(const char* path) {
    const int w = screen_->width_in_pixels, h = screen_->height_in_pixels;
    std::free(xcb_shm_get_image_reply(
        c_, xcb_shm_get_image(c_, screen_->root, 0, 0, uint16_t(w), uint16_t(h), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, seg_, 0),
        nullptr));
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(w);
    cinfo.image_height = JDIMENSION(h);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    cinfo.dct_method = JDCT_FLOAT;
    jpeg_set_quality(&cinfo, 80, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
      JSAMPROW row = addr_ + size_t(cinfo.next_scanline) * size_t(w) * 4;
      jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0 || ::write(fd, buffer, size) != ssize_t(size)) std::fprintf(stderr, "resident_bench: bare write failed\n");
    if (fd >= 0) ::close(fd);
    std::free(buffer);
  }

 private:
  xcb_connection_t* c_;
  xcb_screen_t* screen_;
  xcb_shm_seg_t seg_;
  uint8_t* addr_;
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;
  XcbScreen screen;  // one connection and one kept segment, as in the program
  if (!screen.connected()) {
    std::fprintf(stderr, "resident_bench: needs an X display in DISPLAY\n");
    return 1;
  }
  const QString folder = QDir::tempPath() + QStringLiteral("/lumora-resident-bench/");
  QDir().mkpath(folder);

  Settings settings;
  SetDefaults(settings, screen.size(), folder);
  settings.Datei.FileDescription = QStringLiteral("shot");
  settings.Datei.FileSuffix = QStringLiteral(".jpg");
  settings.Datei.SameFile = false;  // numbered files, as the program's defaults have it
  StreamDialogs dialogs(stderr, false);
  ScreenGrab grab(screen, dialogs, std::chrono::milliseconds(0));
  FileNaming naming(settings, dialogs);
  bench::NoClipboard clipboard;
  bench::NoonClock clock;
  ImageSaver saver(dialogs, clipboard, clock);
  NoWindow view;
  CaptureDriver driver(settings, dialogs, grab, naming, saver, view);
  BareCapture floor;
  QImage kept;  // the steps' own grab picture, kept between captures as the program keeps its own
  naming.AdvanceFileName(settings.Blank, false);

  const char* steps[] = {"naming", "grab", "thumbnail", "encode", "publish", "after the file"};
  std::map<std::string, std::vector<double>> t, c;  // wall and CPU times
  for (int round = -2; round < runs; ++round) {  // two rounds to warm up
    const auto b0 = now();
    floor.run((folder + QStringLiteral("bare%1.jpg").arg(round + 2)).toLocal8Bit().constData());
    const auto b1 = now();

    // The driver's steps one by one, as MakeScreenshot runs them.
    const auto s0 = now();
    naming.ResolveTarget(false, nullptr, nullptr);
    CheckOptions(settings, dialogs);
    const auto s1 = now();
    grab.CopyScreenRect(kept, grab.wholeScreen());
    const auto s2 = now();
    const QImage thumbnail = stretchColorOnColor(kept, QSize(157, 124));
    const auto s3 = now();
    const JpegStream stream = EncodeJpeg(kept, 80);
    const auto s4 = now();
    {
      PublishTarget target{settings.Datei.NextFile, &naming, {}};
      AtomicFile file(target);
      if (!file.open()) std::fprintf(stderr, "resident_bench: cannot create the file\n");
      for (const JpegStream::Block& block : stream.blocks) file.write(block.data.get(), block.used);
      file.commit();
    }
    const auto s5 = now();
    view.showLastFile(settings.Datei.NextFile);
    naming.AdvanceFileName(settings.Blank, false);
    const auto s6 = now();

    // And the driver itself, whole.
    const auto d0 = now();
    driver.MakeScreenshot();
    const auto d1 = now();
    // Each capture wrote a new file; the folder is emptied between rounds.
    for (const QString& f : QDir(folder).entryList(QDir::Files)) QFile::remove(folder + f);
    if (round < 0) continue;
    t["bare"].push_back(ms(b0, b1));
    const Mark marks[] = {s0, s1, s2, s3, s4, s5, s6};
    for (int i = 0; i < 6; ++i) {
      t[steps[i]].push_back(ms(marks[i], marks[i + 1]));
      c[steps[i]].push_back(cpuMs(marks[i], marks[i + 1]));
    }
    t["steps to the file"].push_back(ms(s0, s5));
    c["steps to the file"].push_back(cpuMs(s0, s5));
    t["driver"].push_back(ms(d0, d1));
    c["driver"].push_back(cpuMs(d0, d1));
    c["bare"].push_back(cpuMs(b0, b1));
  }

  const QSize size = screen.size();
  std::printf("resident capture to JPEG q80, %dx%d, %d runs alternating, medians in ms\n", size.width(),
              size.height(), runs);
  std::printf("  %-18s %7s %7s\n", "", "wall", "cpu");
  auto row = [&](const char* label, const char* key) {
    std::printf("  %-18s %7.2f %7.2f\n", label, median(t[key]), median(c[key]));
  };
  for (const char* step : steps) row(step, step);
  row("steps to the file", "steps to the file");
  row("driver, whole", "driver");
  row("bare C floor", "bare");
  std::printf("ratio to the floor: steps to the file %.2f (cpu %.2f), driver %.2f (cpu %.2f)\n",
              median(t["steps to the file"]) / median(t["bare"]), median(c["steps to the file"]) / median(c["bare"]),
              median(t["driver"]) / median(t["bare"]), median(c["driver"]) / median(c["bare"]));
  QDir(folder).removeRecursively();
  return 0;
}
