// Colour depths and savers at 1080p and 4K on a photo-like picture: each depth's
// conversion and write, JPEG at q80 against the bare libjpeg encode, TGA, and a
// whole capture (grab from an in-memory screen, caption off, save) per format.
// Reference rows: the 25 MB write and the bare encode, to read the savers as ratios.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <cstdio>
#include <jpeglib.h>
#include <map>
#include <memory>

#include "SaverBenchSupport.h"
#include "capture/BmpWriter.h"
#include "capture/ColorDepth.h"
#include "capture/ImageSaver.h"
#include "capture/JpegWriter.h"
#include "capture/ScreenGrab.h"
#include "capture/TgaWriter.h"
#include "platform/fs/AtomicFile.h"
#include "app/cli/StreamDialogs.h"

using namespace lumora;
using namespace lumora::bench;

namespace {

const QImage& picture(int height) {
  static std::map<int, QImage> pictures;  // built once per size, outside the timings
  auto it = pictures.find(height);
  if (it == pictures.end()) it = pictures.emplace(height, PhotoLike(height * 16 / 9, height)).first;
  return it->second;
}

// LUMORA_BENCH_DIR=/dev/shm takes the disk out of the figures.
QString target(const char* extension) {
  const QString dir = qEnvironmentVariableIsSet("LUMORA_BENCH_DIR") ? qEnvironmentVariable("LUMORA_BENCH_DIR")
                                                                    : QDir::tempPath();
  return dir + QStringLiteral("/lumora-saver-bench") + extension;
}

void label(benchmark::State& state, int height) {
  state.SetLabel(QStringLiteral("%1x%2").arg(height * 16 / 9).arg(height).toStdString());
}

void BM_Convert(benchmark::State& state) {
  const int height = int(state.range(0));
  const uint8_t code = uint8_t(state.range(1));
  const QImage& source = picture(height);
  ConvertToDepth(source, code);  // the lookup tables are built once, before timing
  for (auto _ : state) {
    QImage out = ConvertToDepth(source, code);
    benchmark::DoNotOptimize(out.constBits());
  }
  label(state, height);
}

void BM_WriteBmp(benchmark::State& state) {
  const int height = int(state.range(0));
  const uint8_t code = uint8_t(state.range(1));
  const QImage converted = ConvertToDepth(picture(height), code);
  for (auto _ : state)
    if (WriteBmp(target(".bmp"), converted, BitsPerPixel(code)) != WriteResult::Ok) state.SkipWithError("write");
  label(state, height);
}

// Conversion and write together, as SaveAsBmp runs them.
void BM_SaveAsBmp(benchmark::State& state) {
  const int height = int(state.range(0));
  const uint8_t code = uint8_t(state.range(1));
  StreamDialogs dialogs(stderr, false);
  NoClipboard clipboard;
  NoonClock clock;
  ImageSaver saver(dialogs, clipboard, clock);
  for (auto _ : state) {
    QImage working = picture(height);
    if (!saver.SaveAsBmp(working, target(".bmp"), false, code)) state.SkipWithError("save");
  }
  label(state, height);
}

// The reference: libjpeg alone, q80, float DCT, stream into libjpeg's own memory
// destination, nothing written.
void BM_BareJpegEncode(benchmark::State& state) {
  const int height = int(state.range(0));
  const QImage& source = picture(height);
  for (auto _ : state) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(source.width());
    cinfo.image_height = JDIMENSION(source.height());
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    cinfo.dct_method = JDCT_FLOAT;
    jpeg_set_quality(&cinfo, 80, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
      JSAMPROW row = const_cast<JSAMPROW>(source.constScanLine(int(cinfo.next_scanline)));
      jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    free(buffer);
  }
  label(state, height);
}

void BM_SaveAsJpeg(benchmark::State& state) {
  const int height = int(state.range(0));
  StreamDialogs dialogs(stderr, false);
  NoClipboard clipboard;
  NoonClock clock;
  ImageSaver saver(dialogs, clipboard, clock);
  for (auto _ : state) {
    QImage working = picture(height);
    if (!saver.SaveAsJpeg(working, target(".jpg"), false, 80, jmQuality)) state.SkipWithError("save");
  }
  label(state, height);
}

void BM_SaveAsTga(benchmark::State& state) {
  const int height = int(state.range(0));
  StreamDialogs dialogs(stderr, false);
  NoClipboard clipboard;
  NoonClock clock;
  ImageSaver saver(dialogs, clipboard, clock);
  for (auto _ : state) {
    QImage working = picture(height);
    if (!saver.SaveAsTga(working, target(".tga"), false)) state.SkipWithError("save");
  }
  label(state, height);
}

// The reference write: 25 MB through a temporary file and a rename.
void BM_Write25MB(benchmark::State& state) {
  const std::vector<char> bytes(25'000'000, 'x');
  for (auto _ : state) {
    AtomicFile file(target(".raw"));
    if (!file.open() || !file.write(bytes.data(), bytes.size()) || !file.commit()) state.SkipWithError("write");
  }
}

// The same bytes written in place with stdio, for comparison: the difference is
// the cost of replacing a file through a temporary and a rename.
void BM_Write25MBInPlace(benchmark::State& state) {
  const std::vector<char> bytes(25'000'000, 'x');
  const QByteArray path = target(".raw").toLocal8Bit();
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.constData(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) state.SkipWithError("write");
    if (f) std::fclose(f);
  }
}

// The capture's own steps: grab (with its thumbnail), working copy, SaveImage.
// Range 1 picks the format: 1..7 a BMP depth code, 10 JPEG q80, 11 TGA.
void BM_Capture(benchmark::State& state) {
  const int height = int(state.range(0));
  const int format = int(state.range(1));
  PictureScreen screen(picture(height));
  StreamDialogs dialogs(stderr, false);
  NoClipboard clipboard;
  NoonClock clock;
  ImageSaver saver(dialogs, clipboard, clock);
  ScreenGrab grab(screen, dialogs, std::chrono::milliseconds(0));
  const QString path = target(format == 10 ? ".jpg" : format == 11 ? ".tga" : ".bmp");
  tBeschriftung noCaption;
  noCaption.Position = tpKeine;
  const FormatSettings settings{uint8_t(format <= 7 ? format : pf24Bit), 80, jmQuality};
  for (auto _ : state) {
    if (!grab.GrabScreen(grab.wholeScreen())) state.SkipWithError("grab");
    QImage working = grab.GrabBitmap();
    if (!saver.SaveImage(working, path, false, noCaption, settings)) state.SkipWithError("save");
  }
  label(state, height);
}

void depths(benchmark::internal::Benchmark* b) {
  for (int height : {1080, 2160})
    for (int code : {1, 2, 3, 5, 6, 7}) b->Args({height, code});
}

void formats(benchmark::internal::Benchmark* b) {
  for (int height : {1080, 2160})
    for (int format : {1, 2, 3, 5, 6, 7, 10, 11}) b->Args({height, format});
}

}  // namespace

BENCHMARK(BM_Convert)->Apply(depths)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBmp)->Apply(depths)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAsBmp)->Apply(depths)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareJpegEncode)->Arg(1080)->Arg(2160)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAsJpeg)->Arg(1080)->Arg(2160)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAsTga)->Arg(1080)->Arg(2160)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write25MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write25MBInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Capture)->Apply(formats)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  for (const char* e : {".bmp", ".jpg", ".tga", ".raw"}) QFile::remove(target(e));
  return 0;
}
