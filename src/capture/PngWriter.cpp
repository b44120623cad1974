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

#include <png.h>
#include <zlib.h>

#include "platform/fs/AtomicFile.h"

namespace lumora {

namespace {

constexpr size_t kWindow = 32768;  // what a deflate match may reach back
static_assert(PngOptions{}.strategy == Z_FILTERED && PngOptions{}.noisyStrategy == Z_RLE,
              "the header spells zlib's strategies as numbers");

uint8_t paeth(int a, int b, int c) {
  // The predictor of the format, written without branches so that the row loop
  // vectorises; ties go to a, then b, as the format wants.
  const int pa = std::abs(b - c);
  const int pb = std::abs(a - c);
  const int pc = std::abs(a + b - 2 * c);
  const int ab = pb < pa ? b : a;
  const int pab = pb < pa ? pb : pa;
  return uint8_t(pc < pab ? c : ab);
}

void paethRow(const uint8_t* __restrict cur, const uint8_t* __restrict up, uint8_t* __restrict out, size_t n) {
  for (size_t i = 0; i < 4; ++i) out[i] = uint8_t(cur[i] - up[i]);  // no left neighbour: the up byte
  for (size_t i = 4; i < n; ++i) out[i] = uint8_t(cur[i] - paeth(cur[i - 4], up[i], up[i - 4]));
}

// The bytes of a 32-bit pixel in memory.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr size_t kRed = 2, kGreen = 1, kBlue = 0;
#else
constexpr size_t kRed = 1, kGreen = 2, kBlue = 3;
#endif

void packRgb(const uint8_t* __restrict in, size_t width, uint8_t* __restrict out) {
  for (size_t x = 0; x < width; ++x) {
    out[3 * x] = in[4 * x + kRed];
    out[3 * x + 1] = in[4 * x + kGreen];
    out[3 * x + 2] = in[4 * x + kBlue];
  }
}

// Filters rows of the 32-bit picture into the format's rows: the filter's type
// byte, then red, green and blue of each pixel. Each byte of a pixel is filtered
// against the same byte of its neighbours, so the work runs on whole 32-bit
// pixels and drops the fourth byte only when packing.
class RowFilter {
 public:
  RowFilter(const QImage& image, PngOptions::Filter filter)
      : image_(image),
        filter_(filter),
        width_(size_t(image.width())),
        work_(width_ * 4),
        zero_(width_ * 4, 0),
        out_(1 + width_ * 3) {}

  size_t size() const { return out_.size(); }

  const uint8_t* row(int y) {
    const uint8_t* cur = image_.constScanLine(y);
    const uint8_t* up = y > 0 ? image_.constScanLine(y - 1) : zero_.data();
    uint8_t* w = work_.data();
    const size_t n = width_ * 4;
    switch (filter_) {
      case PngOptions::Filter::None:
        std::memcpy(w, cur, n);
        break;
      case PngOptions::Filter::Sub:
        for (size_t i = 0; i < 4; ++i) w[i] = cur[i];
        for (size_t i = 4; i < n; ++i) w[i] = uint8_t(cur[i] - cur[i - 4]);
        break;
      case PngOptions::Filter::Up:
        for (size_t i = 0; i < n; ++i) w[i] = uint8_t(cur[i] - up[i]);
        break;
      case PngOptions::Filter::Average:
        for (size_t i = 0; i < 4; ++i) w[i] = uint8_t(cur[i] - (up[i] >> 1));
        for (size_t i = 4; i < n; ++i) w[i] = uint8_t(cur[i] - ((cur[i - 4] + up[i]) >> 1));
        break;
      case PngOptions::Filter::Paeth:
        paethRow(cur, up, w, n);
        break;
    }
    pack();
    return out_.data();
  }

 private:
  void pack() {
    out_[0] = uint8_t(filter_);
    packRgb(work_.data(), width_, out_.data() + 1);
  }

  const QImage& image_;
  const PngOptions::Filter filter_;
  const size_t width_;
  std::vector<uint8_t> work_;
  const std::vector<uint8_t> zero_;
  std::vector<uint8_t> out_;
};

// One band of rows compressed as a piece of raw deflate data. Every band but the
// last ends on a byte boundary with all its input flushed, so that the pieces
// can follow each other in one stream.
struct Band {
  int first = 0;
  int end = 0;
  std::unique_ptr<uint8_t[]> data;
  size_t size = 0;
  size_t capacity = 0;
  uLong adler = 1;  // of the band's filtered bytes
  std::exception_ptr error;

  void grow(z_stream& z) {
    const size_t used = size_t(z.next_out - data.get());
    const size_t bigger = std::max<size_t>(capacity * 2, 64 << 10);
    std::unique_ptr<uint8_t[]> more(new uint8_t[bigger]);
    if (used) std::memcpy(more.get(), data.get(), used);
    data = std::move(more);
    capacity = bigger;
    z.next_out = data.get() + used;
    z.avail_out = uInt(std::min<size_t>(bigger - used, UINT32_MAX));
  }
};

class Deflater {
 public:
  Deflater(int level, int strategy) {
    const int result = deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy);
    if (result == Z_MEM_ERROR) throw std::bad_alloc();
    if (result != Z_OK) throw std::runtime_error("PNG: zlib refuses level " + std::to_string(level));
  }
  ~Deflater() { deflateEnd(&z); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  z_stream z{};
};

// The share of zero bytes in every eighth filtered row of the band: high where
// the picture is flat or repeats, low where it is photographic.
double zeroShare(RowFilter& rows, const Band& band) {
  size_t zeros = 0;
  size_t total = 0;
  for (int y = band.first; y < band.end; y += 8) {
    const uint8_t* r = rows.row(y) + 1;
    const size_t n = rows.size() - 1;
    size_t z = 0;
    for (size_t i = 0; i < n; ++i) z += r[i] == 0;
    zeros += z;
    total += n;
  }
  return total ? double(zeros) / double(total) : 1.0;
}

void compressBand(const QImage& image, const PngOptions& options, Band& band, bool last) {
  RowFilter rows(image, options.filter);
  const bool noisy = options.noisyBelow > 0 && zeroShare(rows, band) < options.noisyBelow;
  Deflater deflater(options.level, noisy ? options.noisyStrategy : options.strategy);
  z_stream& z = deflater.z;
  if (band.first > 0) {
    // The rows before the band as the decoder will have them, so that matches
    // may reach back into them as in one continuous stream.
    const int reach = int((kWindow + rows.size() - 1) / rows.size());
    std::vector<uint8_t> before;
    for (int y = std::max(0, band.first - reach); y < band.first; ++y) {
      const uint8_t* r = rows.row(y);
      before.insert(before.end(), r, r + rows.size());
    }
    const size_t n = std::min(kWindow, before.size());
    deflateSetDictionary(&z, before.data() + before.size() - n, uInt(n));
  }
  band.capacity = deflateBound(&z, uLong(rows.size() * size_t(band.end - band.first))) + 64;
  band.data.reset(new uint8_t[band.capacity]);
  z.next_out = band.data.get();
  z.avail_out = uInt(std::min<size_t>(band.capacity, UINT32_MAX));
  for (int y = band.first; y < band.end; ++y) {
    const uint8_t* r = rows.row(y);
    band.adler = adler32(band.adler, r, uInt(rows.size()));
    z.next_in = const_cast<Bytef*>(r);
    z.avail_in = uInt(rows.size());
    const int flush = y + 1 < band.end ? Z_NO_FLUSH : last ? Z_FINISH : Z_SYNC_FLUSH;
    // Until all input is taken and, at the band's end, the flush is complete; a
    // flush wants some room, or it repeats its marker.
    for (;;) {
      if (z.avail_out < 16) band.grow(z);
      const int result = deflate(&z, flush);
      if (result == Z_STREAM_ERROR) throw std::runtime_error("PNG: zlib stream error");
      if (z.avail_out >= 16 && z.avail_in == 0 && (flush != Z_FINISH || result == Z_STREAM_END)) break;
    }
  }
  band.size = size_t(z.next_out - band.data.get());
}

// Splits the rows into bands and compresses them on up to `workers` threads. The
// bands' layout depends on the picture alone, so the stream is the same however
// many threads share the work.
std::vector<Band> compressBands(const QImage& image, const PngOptions& options) {
  const size_t rowSize = 1 + size_t(image.width()) * 3;
  const int height = image.height();
  const int rowsPerBand = int(std::clamp<size_t>(options.bandBytes / rowSize, 1, size_t(height)));
  std::vector<Band> bands(size_t((height + rowsPerBand - 1) / rowsPerBand));
  for (size_t i = 0; i < bands.size(); ++i) {
    bands[i].first = int(i) * rowsPerBand;
    bands[i].end = std::min(height, bands[i].first + rowsPerBand);
  }

  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i; (i = next++) < bands.size();) {
      try {
        compressBand(image, options, bands[i], i + 1 == bands.size());
      } catch (...) {
        bands[i].error = std::current_exception();
      }
    }
  };
  const int wanted = options.workers > 0 ? options.workers : QThread::idealThreadCount();
  const size_t helpers = std::min(bands.size(), size_t(std::max(wanted, 1))) - 1;
  std::vector<std::thread> threads;
  for (size_t t = 0; t < helpers; ++t) {
    try {
      threads.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // no more threads to be had: the ones running share the work
    }
  }
  work();
  for (std::thread& t : threads) t.join();
  for (const Band& b : bands)
    if (b.error) std::rethrow_exception(b.error);
  return bands;
}

// The two bytes that open a zlib stream: deflate with a 32 KiB window, and the
// level as a hint that decoders ignore (bands may differ in strategy).
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
    png_write_chunk_start(png, kIdat, png_uint_32(bands[i].size + (first ? 2 : 0) + (last ? 4 : 0)));
    if (first) png_write_chunk_data(png, header, 2);
    png_write_chunk_data(png, bands[i].data.get(), bands[i].size);
    if (last) png_write_chunk_data(png, trailer, 4);
    png_write_chunk_end(png);
  }
  png_write_chunk(png, kIend, nullptr, 0);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodePng(const QImage& source, const PngOptions& options) {
  if (source.isNull()) throw std::runtime_error("PNG: empty picture");
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
    if (bands[i].size > PNG_UINT_31_MAX - 6) throw std::runtime_error("PNG: band too large for a chunk");
    data += bands[i].size;
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
