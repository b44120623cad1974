#include "capture/BandDeflater.h"

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include <libdeflate.h>
#include <zlib.h>

namespace lumora {

namespace {

// Where the final bit of the band's last block header lies, and how many bits of
// the band's last byte are padding.
struct LastBlock {
  size_t byte = 0;
  uint8_t mask = 1;
  int padding = 0;
};

LastBlock findLastBlock(const uint8_t* data, size_t size, const uint8_t* expect, size_t expectSize,
                        std::vector<uint8_t>& scratch) {
  z_stream z{};
  const int init = inflateInit2(&z, -15);
  if (init == Z_MEM_ERROR) throw std::bad_alloc();
  if (init != Z_OK) throw std::runtime_error("PNG: zlib refuses to inflate");
  scratch.resize(expectSize + 1);  // one more, so that an overlong band shows
  z.next_in = const_cast<Bytef*>(data);
  z.avail_in = uInt(size);
  z.next_out = scratch.data();
  z.avail_out = uInt(scratch.size());
  LastBlock last;  // the first block's header opens the data
  int result;
  while ((result = inflate(&z, Z_BLOCK)) == Z_OK) {
    // After a block's end zlib tells how many bits of the last byte it took are
    // left over (bits 0-2) and whether that block was the final one (64).
    if (!(z.data_type & 128)) continue;
    const int left = z.data_type & 7;
    if (z.data_type & 64) {
      last.padding = left;
      continue;  // the next call ends the stream
    }
    // The next block's header starts at the lowest bit not yet taken.
    const size_t next = size_t(z.next_in - data);
    last.byte = left ? next - 1 : next;
    last.mask = left ? uint8_t(0x100 >> left) : 1;
  }
  const size_t produced = size_t(z.next_out - scratch.data());
  const size_t unused = z.avail_in;
  inflateEnd(&z);
  if (result == Z_MEM_ERROR) throw std::bad_alloc();
  if (result != Z_STREAM_END || unused != 0 || produced != expectSize ||
      std::memcmp(scratch.data(), expect, expectSize) != 0)
    throw std::runtime_error("PNG: a compressed band does not give back its rows");
  return last;
}

}  // namespace

BandDeflater::~BandDeflater() {
  for (libdeflate_compressor* c : compressors_) libdeflate_free_compressor(c);
}

libdeflate_compressor* BandDeflater::compressor(int level) {
  if (level < 1 || level >= int(compressors_.size()))
    throw std::runtime_error("PNG: libdeflate has no level " + std::to_string(level));
  libdeflate_compressor*& c = compressors_[size_t(level)];
  if (!c) c = libdeflate_alloc_compressor(level);
  if (!c) throw std::bad_alloc();
  return c;
}

void BandDeflater::compress(const uint8_t* in, size_t size, int level, bool last, std::vector<uint8_t>& out) {
  libdeflate_compressor* c = compressor(level);
  // Room for the stored block that closes a band, too.
  out.resize(libdeflate_deflate_compress_bound(c, size) + 6);
  const size_t n = libdeflate_deflate_compress(c, in, size, out.data(), out.size());
  if (n == 0) throw std::runtime_error("PNG: libdeflate found no room within its own bound");
  out.resize(n);
  if (last) return;
  const LastBlock block = findLastBlock(out.data(), n, in, size, scratch_);
  out[block.byte] &= uint8_t(~block.mask);
  // The empty stored block: its 3 header bits (not final, type 0) where the
  // padding was, or in a byte of their own when fewer than 3 are free, then the
  // length 0 and its complement from the next byte boundary.
  if (block.padding) out.back() &= uint8_t(0xFF >> block.padding);
  if (block.padding < 3) out.push_back(0);
  const uint8_t empty[4] = {0x00, 0x00, 0xFF, 0xFF};
  out.insert(out.end(), empty, empty + 4);
}

}  // namespace lumora
