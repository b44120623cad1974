// PNG encoding on the benchmark pictures: the settings that chose the writer's
// defaults (row filter, flat and photographic bands, libdeflate level, band
// size, threads) with the file size of each as a counter, and the two libraries'
// own encoders at ImageMagick's settings (zlib level 7, every filter tried per
// row) as references.
//
// The pictures are PNG files named in $LUMORA_BENCH_PICTURES (blank-separated;
// scripts/bench draws a desktop-like and a photo-like one per screen size);
// without it a synthetic photo-like 1080p picture stands in.
//
// With an X display in $DISPLAY, the resident program's capture of that screen
// (the driver with a kept connection and shared segment, as after a hotkey, less
// the fixed wait before the grab) runs beside a bare libpng encode of the same
// frame.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <png.h>
#include <spng.h>
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "SaverBenchSupport.h"
#include "capture/CaptureDriver.h"
#include "capture/PngWriter.h"
#include "app/cli/StreamDialogs.h"
#include "platform/x11/XcbScreen.h"
#include "settings/Defaults.h"

using namespace lumora;

namespace {

using Filter = PngOptions::Filter;

struct Picture {
  std::string name;
  QImage image;
};

std::vector<Picture> loadPictures() {
  std::vector<Picture> out;
  const QStringList files = qEnvironmentVariable("LUMORA_BENCH_PICTURES").split(QLatin1Char(' '), Qt::SkipEmptyParts);
  for (const QString& f : files) {
    QImage image(f);
    if (!image.isNull()) out.push_back({QFileInfo(f).completeBaseName().toStdString(),
                                        image.convertToFormat(QImage::Format_RGB32)});
  }
  if (out.empty()) out.push_back({"synthetic1080", bench::PhotoLike(1920, 1080)});
  return out;
}

void appendBytes(png_structp png, png_bytep data, size_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}
void flushNothing(png_structp) {}

// As ImageMagick writes a PNG at its default quality: zlib level 7, every filter
// tried on each row.
constexpr int kPeerLevel = 7;

// libpng on its own: one thread, the 32-bit rows through its BGR and filler
// transforms, the stream into memory.
size_t bareLibpng(const QImage& image) {
  std::vector<uint8_t> out;
  out.reserve(size_t(image.width()) * size_t(image.height()));
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return 0;
  }
  png_set_write_fn(png, &out, appendBytes, flushNothing);
  png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_set_pHYs(png, info, 3780, 3780, PNG_RESOLUTION_METER);
  png_set_compression_level(png, kPeerLevel);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  png_write_info(png, info);
  png_set_bgr(png);
  png_set_filler(png, 0, PNG_FILLER_AFTER);
  for (int y = 0; y < image.height(); ++y) png_write_row(png, image.constScanLine(y));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out.size();
}

// libspng on its own: it takes red-green-blue rows only, so each row is packed
// first, one row at a time.
size_t bareSpng(const QImage& image) {
  spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
  spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
  spng_set_option(ctx, SPNG_IMG_COMPRESSION_LEVEL, kPeerLevel);
  spng_set_option(ctx, SPNG_FILTER_CHOICE, SPNG_FILTER_CHOICE_ALL);
  spng_ihdr ihdr{};
  ihdr.width = uint32_t(image.width());
  ihdr.height = uint32_t(image.height());
  ihdr.bit_depth = 8;
  ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
  spng_set_ihdr(ctx, &ihdr);
  spng_phys phys{3780, 3780, 1};  // unit 1: metre
  spng_set_phys(ctx, &phys);
  size_t size = 0;
  if (spng_encode_image(ctx, nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE) == 0) {
    std::vector<uint8_t> row(size_t(image.width()) * 3);
    int result = 0;
    for (int y = 0; y < image.height() && result == 0; ++y) {
      const QRgb* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        row[3 * size_t(x)] = uint8_t(qRed(in[x]));
        row[3 * size_t(x) + 1] = uint8_t(qGreen(in[x]));
        row[3 * size_t(x) + 2] = uint8_t(qBlue(in[x]));
      }
      result = spng_encode_row(ctx, row.data(), row.size());
    }
    int error = 0;
    void* buffer = spng_get_png_buffer(ctx, &size, &error);
    free(buffer);
  }
  spng_ctx_free(ctx);
  return size;
}

enum class Encoder { Lumora, Libpng, Spng };

void run(benchmark::State& state, const QImage& image, Encoder encoder, PngOptions o) {
  size_t size = 0;
  for (auto _ : state) {
    switch (encoder) {
      case Encoder::Lumora: size = EncodePng(image, o).size(); break;
      case Encoder::Libpng: size = bareLibpng(image); break;
      case Encoder::Spng: size = bareSpng(image); break;
    }
    if (size == 0) state.SkipWithError("encode failed");
  }
  state.counters["KB"] = double(size) / 1000;
}

std::string describe(const PngOptions& o) {
  const char* filters[] = {"none", "sub", "up", "avg", "paeth", "adaptive"};
  char flat[32] = "flat-off";
  if (o.flatColours > 0) std::snprintf(flat, sizeof flat, "flat1:%d", int(1 / o.flatColours + 0.5));
  char photo[32] = "photo-off";
  if (o.photoBelow > 0) std::snprintf(photo, sizeof photo, "photo<%d%%L%d", int(o.photoBelow * 100), o.photoLevel);
  char out[160];
  std::snprintf(out, sizeof out, "%s/L%d/%s/%s/band%zuK/t%d", filters[int(o.filter)], o.level, flat, photo,
                o.bandBytes >> 10, o.workers);
  return out;
}

void registerAll(const std::vector<Picture>& pictures) {
  const PngOptions chosen;
  for (const Picture& p : pictures) {
    auto add = [&](const char* what, Encoder e, PngOptions o) {
      std::string name = what;
      name += "/";
      name += p.name;
      name += "/";
      name += e == Encoder::Lumora ? describe(o) : std::string("L7/all");
      benchmark::RegisterBenchmark(name.c_str(), [&image = p.image, e, o](benchmark::State& s) { run(s, image, e, o); })
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    };
    // The references: each library alone, one thread.
    add("BM_BareLibpng", Encoder::Libpng, chosen);
    add("BM_BareSpng", Encoder::Spng, chosen);
    // The writer as the program runs it, and on one thread.
    add("BM_EncodePng", Encoder::Lumora, chosen);
    PngOptions single = chosen;
    single.workers = 1;
    add("BM_EncodePng", Encoder::Lumora, single);
    // What chose the settings: one thing varied at a time, on one thread.
    for (Filter f : {Filter::None, Filter::Sub, Filter::Up, Filter::Average, Filter::Paeth}) {
      PngOptions o = single;
      o.filter = f;
      add("BM_Filter", Encoder::Lumora, o);
    }
    for (double flat : {0.0, 1.0 / 20, 1.0 / 80}) {
      PngOptions o = single;
      o.flatColours = flat;
      add("BM_Flat", Encoder::Lumora, o);
    }
    for (double below : {0.0, 0.2}) {
      PngOptions o = single;
      o.photoBelow = below;
      add("BM_Photo", Encoder::Lumora, o);
    }
    for (int level : {6, 9, 10}) {
      PngOptions o = single;
      o.level = level;
      add("BM_Level", Encoder::Lumora, o);
    }
    for (size_t band : {size_t(256) << 10, size_t(2) << 20, size_t(1) << 30}) {
      PngOptions o = chosen;
      o.bandBytes = band;
      add("BM_Band", Encoder::Lumora, o);
    }
  }
}

class NoWindow : public CaptureView {
 public:
  bool isShowing() const override { return false; }
  void hideForCapture() override {}
  void showAfterCapture() override {}
  bool timerRunning() const override { return false; }
  void showLastPicture(const QImage&) override {}
  void showLastFile(const QString&) override {}
  void showNextFile() override {}
};

// The tray program's capture to a PNG file: grab, thumbnail, encode, publish,
// and the next proposal. One file, replaced each time.
void residentCapture(benchmark::State& state, XcbScreen& screen) {
  const QString folder = QDir::tempPath() + QStringLiteral("/");
  Settings settings;
  SetDefaults(settings, screen.size(), folder);
  settings.Datei.FileDescription = QStringLiteral("lumora-png-bench");
  settings.Datei.FileSuffix = QStringLiteral(".png");
  settings.Datei.SameFile = true;
  StreamDialogs dialogs(stderr, false);
  ScreenGrab grab(screen, dialogs, std::chrono::milliseconds(0));
  FileNaming naming(settings, dialogs);
  bench::NoClipboard clipboard;
  bench::NoonClock clock;
  ImageSaver saver(dialogs, clipboard, clock);
  NoWindow view;
  CaptureDriver driver(settings, dialogs, grab, naming, saver, view);
  for (auto _ : state) driver.MakeScreenshot();
  const QString file = folder + QStringLiteral("lumora-png-bench.png");
  state.counters["KB"] = double(QFileInfo(file).size()) / 1000;
  QFile::remove(file);
}

void registerScreen(XcbScreen& screen) {
  QImage frame;
  const QSize size = screen.size();
  if (!screen.grab(ScreenRect{0, 0, size.width(), size.height()}, frame)) return;
  static QImage grabbed;  // lives as long as the benchmarks that use it
  grabbed = frame;
  const std::string name = std::to_string(size.width()) + "x" + std::to_string(size.height());
  benchmark::RegisterBenchmark(("BM_ResidentCapture/screen" + name).c_str(),
                               [&screen](benchmark::State& s) { residentCapture(s, screen); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark(("BM_BareLibpng/screen" + name + "/L7/all").c_str(),
                               [](benchmark::State& s) { run(s, grabbed, Encoder::Libpng, {}); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<Picture> pictures = loadPictures();
  registerAll(pictures);
  XcbScreen screen;  // one connection and one kept segment, as in the program
  if (screen.connected()) registerScreen(screen);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
