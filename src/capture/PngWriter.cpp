#include "capture/PngWriter.h"

#include <QThread>
#include <QtEndian>
#include <QtGlobal>
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <libdeflate.h>
#include <png.h>
#include <zlib.h>

#include "capture/BandDeflater.h"
#include "platform/fs/AtomicFile.h"

namespace lumora {

namespace {

// One band of rows compressed as a piece of raw deflate data. Every band but the
// last ends on a byte boundary, so that the pieces follow each other in one stream.
struct Band {
  int first = 0;
  int end = 0;
  std::vector<uint8_t> rows;  // filtered, until compressed
  int level = 0;
  std::vector<uint8_t> data;
  uint32_t adler = 1;  // of the band's filtered bytes
  std::exception_ptr error;
};

// Whether the band's rows have at most `perPixel` distinct colours per pixel
// among every fourth row: window surfaces, text and icons have a few hundred,
// photographs and gradients tens of thousands. A small open-addressed set, given
// up on as soon as it holds too many, keeps this to a fraction of a millisecond.
bool fewColours(const QImage& image, const Band& band, double perPixel) {
  const size_t width = size_t(image.width());
  const size_t sampled = width * size_t((band.end - band.first + 3) / 4);
  const size_t bound = size_t(perPixel * double(sampled));
  size_t slots = 64;
  while (slots < 2 * (bound + 1)) slots *= 2;
  std::vector<uint32_t> set(slots, 0);  // colours with their top byte set; 0 is free
  size_t count = 0;
  for (int y = band.first; y < band.end; y += 4) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    uint32_t previous = 0;
    for (size_t x = 0; x < width; ++x) {
      const uint32_t key = row[x] | 0xFF000000u;
      if (key == previous) continue;  // runs of one colour are most of a flat row
      previous = key;
      for (size_t i = (key * 0x9E3779B1u) >> 7 & (slots - 1);; i = (i + 1) & (slots - 1)) {
        if (set[i] == key) break;
        if (set[i] == 0) {
          set[i] = key;
          if (++count > bound) return false;
          break;
        }
      }
    }
  }
  return true;
}

// Filters the band's rows and chooses the level that suits them.
void filterBand(const QImage& image, const PngOptions& options, Band& band) {
  const bool flat = options.flatColours > 0 && fewColours(image, band, options.flatColours);
  PngRowFilter filter(image, flat ? PngFilter::None : options.filter);
  const size_t rowSize = filter.size();
  std::vector<uint8_t>& rows = band.rows;
  rows.resize(rowSize * size_t(band.end - band.first));
  for (int y = band.first; y < band.end; ++y) filter.write(y, rows.data() + rowSize * size_t(y - band.first));
  band.adler = libdeflate_adler32(1, rows.data(), rows.size());
  band.level = options.level;
  if (!flat && options.photoBelow > 0) {
    const size_t zeros = size_t(std::count(rows.begin(), rows.end(), uint8_t(0)));
    if (double(zeros) < options.photoBelow * double(rows.size())) band.level = options.photoLevel;
  }
}

// Runs `work(band)` for each band in `order` on up to `workers` threads; each
// thread first makes what it needs with `makeState`. An error stays with its band.
template <typename MakeState, typename Work>
void shareBands(std::vector<Band>& bands, const std::vector<size_t>& order, int workers, MakeState makeState,
                Work work) {
  std::atomic<size_t> next{0};
  auto run = [&] {
    auto state = makeState();
    for (size_t k; (k = next++) < order.size();) {
      Band& band = bands[order[k]];
      try {
        work(band, state);
      } catch (...) {
        band.error = std::current_exception();
      }
    }
  };
  const size_t helpers = std::min(order.size(), size_t(std::max(workers, 1))) - 1;
  std::vector<std::thread> threads;
  for (size_t t = 0; t < helpers; ++t) {
    try {
      threads.emplace_back(run);
    } catch (const std::system_error&) {
      break;  // no more threads to be had: the ones running share the work
    }
  }
  run();
  for (std::thread& t : threads) t.join();
}

// Splits the rows into bands, filters them and then compresses them, each step
// on up to `workers` threads. The bands' layout and treatment depend on the
// picture alone, so the stream is the same however many threads share the work.
std::vector<Band> compressBands(const QImage& image, const PngOptions& options) {
  const size_t rowSize = 1 + size_t(image.width()) * 3;
  const int height = image.height();
  const int rowsPerBand = int(std::clamp<size_t>(options.bandBytes / rowSize, 1, size_t(height)));
  std::vector<Band> bands(size_t((height + rowsPerBand - 1) / rowsPerBand));
  std::vector<size_t> order(bands.size());
  for (size_t i = 0; i < bands.size(); ++i) {
    bands[i].first = int(i) * rowsPerBand;
    bands[i].end = std::min(height, bands[i].first + rowsPerBand);
    order[i] = i;
  }
  const int workers = options.workers > 0 ? options.workers : QThread::idealThreadCount();
  auto noState = [] { return 0; };
  shareBands(bands, order, workers, noState, [&](Band& band, int) { filterBand(image, options, band); });
  for (const Band& b : bands)
    if (b.error) std::rethrow_exception(b.error);

  // The slow level's bands first, so that no core is left with one of them at
  // the end while the other has nothing more to do.
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return bands[a].level > bands[b].level; });
  const Band* last = &bands.back();
  shareBands(bands, order, workers, [] { return BandDeflater(); }, [&](Band& band, BandDeflater& deflater) {
    deflater.compress(band.rows.data(), band.rows.size(), band.level, &band == last, band.data);
    std::vector<uint8_t>().swap(band.rows);
  });
  for (const Band& b : bands)
    if (b.error) std::rethrow_exception(b.error);
  return bands;
}

// The two bytes that open a zlib stream: deflate with a 32 KiB window, and the
// level as a hint that decoders ignore (bands may differ in level).
std::array<uint8_t, 2> zlibHeader(const PngOptions& options) {
  const int levelFlags = options.level < 2 ? 0 : options.level < 6 ? 1 : options.level == 6 ? 2 : 3;
  unsigned header = (Z_DEFLATED + (7 << 4)) << 8 | unsigned(levelFlags) << 6;
  header += 31 - header % 31;
  return {uint8_t(header >> 8), uint8_t(header)};
}

struct Container {
  std::vector<uint8_t>* file;
  char error[200];
};

void onError(png_structp png, png_const_charp message) {
  auto* container = static_cast<Container*>(png_get_error_ptr(png));
  std::snprintf(container->error, sizeof container->error, "%s", message);
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// The file was sized before: running out of room is a fault of ours, reported
// as the library's error rather than a reallocation inside the library's frames.
void append(png_structp png, png_bytep data, size_t size) {
  auto* container = static_cast<Container*>(png_get_io_ptr(png));
  std::vector<uint8_t>& file = *container->file;
  if (file.capacity() - file.size() < size) png_error(png, "file larger than reckoned");
  file.insert(file.end(), data, data + size);
}

void flushNothing(png_structp) {}

// The one function that libpng may jump back into: nothing in it has a
// destructor that the jump would skip. False when the library reported an error.
bool writeChunks(png_structp png, png_infop info, const QImage& image, const std::vector<Band>& bands,
                 const uint8_t* header, const uint8_t* trailer) {
  if (setjmp(png_jmpbuf(png))) return false;
  static const png_byte kIdat[5] = {'I', 'D', 'A', 'T', 0};
  static const png_byte kIend[5] = {'I', 'E', 'N', 'D', 0};
  png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
  png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_set_pHYs(png, info, 3780, 3780, PNG_RESOLUTION_METER);  // 96 dots per inch
  png_write_info(png, info);
  // One IDAT chunk per band; the stream's header goes before the first band and
  // its checksum after the last.
  for (size_t i = 0; i < bands.size(); ++i) {
    const bool first = i == 0;
    const bool last = i + 1 == bands.size();
    png_write_chunk_start(png, kIdat, png_uint_32(bands[i].data.size() + (first ? 2 : 0) + (last ? 4 : 0)));
    if (first) png_write_chunk_data(png, header, 2);
    png_write_chunk_data(png, bands[i].data.data(), bands[i].data.size());
    if (last) png_write_chunk_data(png, trailer, 4);
    png_write_chunk_end(png);
  }
  png_write_chunk(png, kIend, nullptr, 0);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodePng(const QImage& source, const PngOptions& options) {
  if (source.isNull()) throw std::runtime_error("PNG: empty picture");
  for (int level : {options.level, options.photoLevel})
    if (level < 1 || level > 12) throw std::runtime_error("PNG: libdeflate has no level " + std::to_string(level));
  const QImage image = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);
  const std::vector<Band> bands = compressBands(image, options);

  const size_t rowSize = 1 + size_t(image.width()) * 3;
  uLong adler = bands[0].adler;
  size_t data = 0;
  for (size_t i = 0; i < bands.size(); ++i) {
    if (i > 0) adler = adler32_combine(adler, bands[i].adler, z_off_t(rowSize * size_t(bands[i].end - bands[i].first)));
    // A chunk holds at most 2^31 - 1 bytes: the band, and the stream's header or checksum.
    if (bands[i].data.size() > PNG_UINT_31_MAX - 6) throw std::runtime_error("PNG: band too large for a chunk");
    data += bands[i].data.size();
  }
  const std::array<uint8_t, 2> header = zlibHeader(options);
  uint8_t trailer[4];
  qToBigEndian(uint32_t(adler), trailer);

  // Signature 8, IHDR 25, pHYs 21, IEND 12, and 12 per IDAT chunk around the data.
  std::vector<uint8_t> file;
  file.reserve(8 + 25 + 21 + 12 + 12 * bands.size() + 2 + data + 4);
  Container container{&file, {}};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &container, onError, onWarning);
  if (!png) throw std::bad_alloc();
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    throw std::bad_alloc();
  }
  png_set_write_fn(png, &container, append, flushNothing);
  const bool ok = writeChunks(png, info, image, bands, header.data(), trailer);
  png_destroy_write_struct(&png, &info);
  if (!ok) throw std::runtime_error(std::string("PNG: ") + container.error);
  return file;
}

WriteResult WritePng(PublishTarget& target, const QImage& image) {
  const std::vector<uint8_t> file = EncodePng(image);
  AtomicFile out(target);
  if (!out.open()) return WriteResult::CannotCreate;
  out.write(file.data(), file.size());
  return out.commit() ? WriteResult::Ok : WriteResult::WriteFailed;
}

}  // namespace lumora
