#include "capture/JpegWriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <stdexcept>

#include "platform/fs/AtomicFile.h"

// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace lumora {

namespace {

// libjpeg reports errors through error_exit, which must not return: it jumps back
// into compress() below.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void onError(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1); }
void noMessage(j_common_ptr) {}

// Collects the stream in blocks that double in size up to 4 MiB.
struct Destination {
  jpeg_destination_mgr pub;
  JpegStream* stream;

  bool addBlock() noexcept {
    const size_t last = stream->blocks.empty() ? 0 : stream->blocks.back().capacity;
    const size_t capacity = std::clamp<size_t>(last * 2, size_t(64) << 10, size_t(4) << 20);
    try {
      if (!stream->blocks.empty()) stream->blocks.back().used = stream->blocks.back().capacity;
      stream->blocks.push_back({std::unique_ptr<uint8_t[]>(new uint8_t[capacity]), capacity, 0});
    } catch (...) {
      return false;
    }
    pub.next_output_byte = stream->blocks.back().data.get();
    pub.free_in_buffer = capacity;
    return true;
  }
};

Destination* destinationOf(j_compress_ptr cinfo) { return reinterpret_cast<Destination*>(cinfo->dest); }

void initDestination(j_compress_ptr cinfo) {
  if (!destinationOf(cinfo)->addBlock()) ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
}

boolean emptyOutput(j_compress_ptr cinfo) {
  if (!destinationOf(cinfo)->addBlock()) ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
  return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
  Destination* dest = destinationOf(cinfo);
  JpegStream::Block& last = dest->stream->blocks.back();
  last.used = last.capacity - dest->pub.free_in_buffer;
}

// The one function that libjpeg may jump back into: nothing in it has a
// destructor that the jump would skip. False when the library reported an error.
bool compress(jpeg_compress_struct& cinfo, ErrorManager& err, Destination& dest, const QImage& image,
              int quality) {
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = onError;
  err.pub.output_message = noMessage;
  if (setjmp(err.jump)) return false;

  jpeg_create_compress(&cinfo);
  cinfo.dest = &dest.pub;
  cinfo.image_width = JDIMENSION(image.width());
  cinfo.image_height = JDIMENSION(image.height());
  // The picture's own 32-bit pixels; libjpeg gives them the same treatment as
  // 24-bit RGB input, so no frame-sized copy is needed.
  cinfo.input_components = 4;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
  cinfo.in_color_space = JCS_EXT_BGRX;
#else
  cinfo.in_color_space = JCS_EXT_XRGB;
#endif
  jpeg_set_defaults(&cinfo);
  cinfo.dct_method = JDCT_FLOAT;
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  constexpr int kBatch = 16;
  JSAMPROW rows[kBatch];
  while (cinfo.next_scanline < cinfo.image_height) {
    const int n = std::min<int>(kBatch, int(cinfo.image_height - cinfo.next_scanline));
    for (int i = 0; i < n; ++i)
      rows[i] = const_cast<JSAMPROW>(image.constScanLine(int(cinfo.next_scanline) + i));
    jpeg_write_scanlines(&cinfo, rows, JDIMENSION(n));
  }
  jpeg_finish_compress(&cinfo);
  return true;
}

}  // namespace

size_t JpegStream::size() const {
  size_t total = 0;
  for (const Block& b : blocks) total += b.used;
  return total;
}

std::vector<uint8_t> JpegStream::bytes() const {
  std::vector<uint8_t> out;
  out.reserve(size());
  for (const Block& b : blocks) out.insert(out.end(), b.data.get(), b.data.get() + b.used);
  return out;
}

JpegStream EncodeJpeg(const QImage& source, int quality) {
  const QImage image = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);
  JpegStream stream;
  Destination dest{};
  dest.stream = &stream;
  dest.pub.init_destination = initDestination;
  dest.pub.empty_output_buffer = emptyOutput;
  dest.pub.term_destination = termDestination;
  jpeg_compress_struct cinfo{};
  ErrorManager err{};
  const bool ok = compress(cinfo, err, dest, image, std::clamp(quality, 1, 100));
  char message[JMSG_LENGTH_MAX] = {};
  if (!ok) err.pub.format_message(reinterpret_cast<j_common_ptr>(&cinfo), message);
  jpeg_destroy_compress(&cinfo);
  if (!ok) throw std::runtime_error(std::string("JPEG: ") + message);
  return stream;
}

WriteResult WriteJpeg(PublishTarget& target, const QImage& image, int quality) {
  const JpegStream stream = EncodeJpeg(image, quality);
  AtomicFile file(target);
  if (!file.open()) return WriteResult::CannotCreate;
  for (const JpegStream::Block& b : stream.blocks) file.write(b.data.get(), b.used);
  return file.commit() ? WriteResult::Ok : WriteResult::WriteFailed;
}

}  // namespace lumora
