#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct libdeflate_compressor;

namespace lumora {

// Compresses bands of one stream's data on their own, each as a whole buffer by
// libdeflate, so that the pieces follow each other in one deflate stream. One per
// thread: it keeps a compressor for each level it was asked for.
class BandDeflater {
 public:
  BandDeflater() = default;
  ~BandDeflater();
  BandDeflater(const BandDeflater&) = delete;
  BandDeflater& operator=(const BandDeflater&) = delete;

  // Compresses `size` bytes at `level` (1..12) as raw deflate data into `out`.
  // Unless `last`, the data is then made to continue: libdeflate marks its last
  // block final, so the band is inflated block by block to find that block's
  // header; its final bit is cleared and an empty stored block closes the band on
  // a byte boundary, as a sync flush would. The inflate also checks that the band
  // gives back its input. Bands share no history, so each needs nothing from the
  // others. Throws std::runtime_error for a level the library refuses or a band
  // that does not give back its input, std::bad_alloc when memory runs out.
  void compress(const uint8_t* in, size_t size, int level, bool last, std::vector<uint8_t>& out);

 private:
  libdeflate_compressor* compressor(int level);

  std::array<libdeflate_compressor*, 13> compressors_{};
  std::vector<uint8_t> scratch_;
};

}  // namespace lumora
