// PNG encoding on the benchmark pictures: the settings that chose the writer's
// defaults (row filter, zlib level and strategy, band size, threads) with the
// file size of each as a counter, and the two libraries' own encoders at the
// same settings as references.
//
// The pictures are PNG files named in $LUMORA_BENCH_PICTURES (blank-separated;
// scripts/bench draws a desktop-like and a photo-like one per screen size);
// without it a synthetic photo-like 1080p picture stands in.
//
// With an X display in $DISPLAY, the resident program's capture of that screen
// (the driver with a kept connection and shared segment, as after a hotkey, less
// the fixed wait before the grab) runs beside a bare libpng encode of the same
// frame at the same settings.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <png.h>
#include <spng.h>
#include <zlib.h>

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

int libpngFilter(Filter f) {
  switch (f) {
    case Filter::None: return PNG_FILTER_NONE;
    case Filter::Sub: return PNG_FILTER_SUB;
    case Filter::Up: return PNG_FILTER_UP;
    case Filter::Average: return PNG_FILTER_AVG;
    case Filter::Paeth: return PNG_FILTER_PAETH;
  }
  return PNG_FILTER_PAETH;
}

void appendBytes(png_structp png, png_bytep data, size_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}
void flushNothing(png_structp) {}

// libpng on its own: one thread, the 32-bit rows through its BGR and filler
// transforms, the stream into memory.
size_t bareLibpng(const QImage& image, const PngOptions& o) {
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
  png_set_compression_level(png, o.level);
  png_set_compression_strategy(png, o.strategy);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, libpngFilter(o.filter));
  png_write_info(png, info);
  png_set_bgr(png);
  png_set_filler(png, 0, PNG_FILLER_AFTER);
  for (int y = 0; y < image.height(); ++y) png_write_row(png, image.constScanLine(y));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out.size();
}

int spngFilter(Filter f) {
  switch (f) {
    case Filter::None: return SPNG_FILTER_CHOICE_NONE;
    case Filter::Sub: return SPNG_FILTER_CHOICE_SUB;
    case Filter::Up: return SPNG_FILTER_CHOICE_UP;
    case Filter::Average: return SPNG_FILTER_CHOICE_AVG;
    case Filter::Paeth: return SPNG_FILTER_CHOICE_PAETH;
  }
  return SPNG_FILTER_CHOICE_PAETH;
}

// libspng on its own: it takes red-green-blue rows only, so each row is packed
// first, one row at a time.
size_t bareSpng(const QImage& image, const PngOptions& o) {
  spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
  spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
  spng_set_option(ctx, SPNG_IMG_COMPRESSION_LEVEL, o.level);
  spng_set_option(ctx, SPNG_IMG_COMPRESSION_STRATEGY, o.strategy);
  spng_set_option(ctx, SPNG_FILTER_CHOICE, spngFilter(o.filter));
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
      case Encoder::Libpng: size = bareLibpng(image, o); break;
      case Encoder::Spng: size = bareSpng(image, o); break;
    }
    if (size == 0) state.SkipWithError("encode failed");
  }
  state.counters["KB"] = double(size) / 1000;
}

std::string describe(const PngOptions& o) {
  const char* filters[] = {"none", "sub", "up", "avg", "paeth"};
  const char* strategies[] = {"default", "filtered", "huffman", "rle"};
  std::string out = filters[int(o.filter)];
  out += "/L";
  out += std::to_string(o.level);
  out += "/";
  out += strategies[o.strategy];
  if (o.noisyBelow > 0) {
    out += "+";
    out += strategies[o.noisyStrategy];
    out += "<";
    out += std::to_string(int(o.noisyBelow * 100));
    out += "%";
  }
  out += "/band";
  out += std::to_string(o.bandBytes >> 10);
  out += "K/t";
  out += std::to_string(o.workers);
  return out;
}

void registerAll(const std::vector<Picture>& pictures) {
  const PngOptions chosen;
  for (const Picture& p : pictures) {
    auto add = [&](const char* what, Encoder e, PngOptions o) {
      benchmark::RegisterBenchmark((std::string(what) + "/" + p.name + "/" + describe(o)).c_str(),
                                   [&image = p.image, e, o](benchmark::State& s) { run(s, image, e, o); })
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    };
    // The references: each library alone, one thread, at the chosen settings
    // (one strategy for all rows: they cannot switch between bands).
    PngOptions single = chosen;
    single.workers = 1;
    PngOptions plain = single;
    plain.noisyBelow = 0;
    add("BM_BareLibpng", Encoder::Libpng, plain);
    add("BM_BareSpng", Encoder::Spng, plain);
    // The writer as the program runs it, and on one thread.
    add("BM_EncodePng", Encoder::Lumora, chosen);
    add("BM_EncodePng", Encoder::Lumora, single);
    // What chose the settings: one thing varied at a time, on one thread.
    for (Filter f : {Filter::None, Filter::Sub, Filter::Up, Filter::Average}) {
      PngOptions o = single;
      o.filter = f;
      add("BM_Filter", Encoder::Lumora, o);
    }
    for (int level : {1, 2, 3, 5, 6}) {
      PngOptions o = single;
      o.level = level;
      add("BM_Level", Encoder::Lumora, o);
    }
    for (int strategy : {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_RLE}) {
      PngOptions o = single;
      o.strategy = strategy;
      o.noisyBelow = 0;  // one strategy for every band
      add("BM_Strategy", Encoder::Lumora, o);
      if (strategy != chosen.strategy && strategy != chosen.noisyStrategy) {
        o.noisyBelow = chosen.noisyBelow;
        add("BM_Strategy", Encoder::Lumora, o);
      }
    }
    for (double below : {0.5, 0.6, 0.9, 1.01}) {
      PngOptions o = single;
      o.noisyBelow = below;
      add("BM_NoisyBelow", Encoder::Lumora, o);
    }
    for (size_t band : {size_t(256) << 10, size_t(4) << 20, size_t(1) << 30}) {
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
  PngOptions single;
  single.workers = 1;
  single.noisyBelow = 0;
  benchmark::RegisterBenchmark(("BM_ResidentCapture/screen" + name).c_str(),
                               [&screen](benchmark::State& s) { residentCapture(s, screen); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark(("BM_BareLibpng/screen" + name + "/" + describe(single)).c_str(),
                               [single](benchmark::State& s) { run(s, grabbed, Encoder::Libpng, single); })
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
