// Publishing a picture's bytes: an unnamed file (O_TMPFILE) linked into place,
// against a hidden temporary name renamed over the target, on the byte counts of
// a 1920 x 1080 and a 3840 x 2160 24-bit BMP. Both write the same bytes into the
// same folder; the file is removed between rounds, outside the timing.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <unistd.h>
#include <vector>

#include "platform/fs/AtomicFile.h"

using namespace lumora;

namespace {

QTemporaryDir& folder() {
  static QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/publish-bench-XXXXXX"));
  return dir;
}

size_t bmpBytes(int64_t height) { return 54 + size_t(height * 16 / 9) * size_t(height) * 3; }

class NoMoreNames : public NameSource {
 public:
  QString nextName() override { return QString(); }
};

void run(benchmark::State& state, bool unnamed, bool numbered) {
  const std::vector<char> bytes(bmpBytes(state.range(0)), 'x');
  const QString path = folder().filePath(QStringLiteral("Screen 00000.bmp"));
  NoMoreNames names;
  for (auto _ : state) {
    PublishTarget target{path, numbered ? &names : nullptr, {}, unnamed};
    AtomicFile file(target);
    if (!file.open() || !file.write(bytes.data(), bytes.size()) || !file.commit()) state.SkipWithError("publish");
    state.PauseTiming();
    ::unlink(QFile::encodeName(path).constData());
    state.ResumeTiming();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

// What a numbered capture does now: unnamed file, linked under a name that must be free.
void BM_UnnamedLinkNewName(benchmark::State& state) { run(state, true, true); }
// What a replacing save does now: unnamed file, linked under a hidden name, renamed.
void BM_UnnamedLinkReplace(benchmark::State& state) { run(state, true, false); }
// What every save did before: a hidden temporary name renamed over the target.
void BM_TempRenameReplace(benchmark::State& state) { run(state, false, false); }

}  // namespace

BENCHMARK(BM_TempRenameReplace)->Arg(1080)->Arg(2160)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnnamedLinkNewName)->Arg(1080)->Arg(2160)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnnamedLinkReplace)->Arg(1080)->Arg(2160)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
