#pragma once

#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "capture/BmpWriter.h"
#include "capture/PngRowFilter.h"

namespace lumora {

// How the picture data of a PNG is filtered and compressed. The defaults were
// chosen by measurement on screenshots of real desktops (bench/PngBench.cpp,
// bench/png-peers.sh); the benchmark and the tests vary them.
struct PngOptions {
  using Filter = PngFilter;
  Filter filter = Filter::Adaptive;
  int level = 8;  // libdeflate level 1..12
  // Rows are compressed in bands of about this many filtered bytes, each band on
  // its own and all of them at once on several cores; together they form one
  // zlib stream. The bands depend on the picture alone, so the file does too.
  size_t bandBytes = size_t(1) << 20;
  // Bands of few colours (flat window surfaces, text, icons) go unfiltered: their
  // rows repeat as they are, which matches find better than in filtered bytes,
  // and they compress faster so. The bound is distinct colours per pixel among
  // every fourth row; 0 turns this off.
  double flatColours = 1.0 / 40;
  // Bands whose filtered bytes are less than this share zeros (photographs) go
  // with `photoLevel`: there level 8 finds few matches and is quick, and the
  // slower parser still gains one or two percent. 0 turns this off.
  double photoBelow = 0.10;
  int photoLevel = 10;
  // Threads that compress bands; 0 takes one per core the process may use.
  int workers = 0;
};

// Encodes the picture as a PNG file in memory: the signature, IHDR for 24-bit
// RGB (colour type 2, 8 bits per channel, not interlaced), pHYs of 96 dpi
// (3780 pixels per metre), the picture data in IDAT chunks (one per band), IEND.
// The rows are filtered straight from the 32-bit picture.
// Throws std::runtime_error when the library refuses the picture and
// std::bad_alloc when memory runs out.
std::vector<uint8_t> EncodePng(const QImage& image, const PngOptions& options = {});

// Encodes, then writes the file in one go. An encoder failure throws before the
// file is touched; a failed write keeps the old file.
WriteResult WritePng(PublishTarget& target, const QImage& image);
inline WriteResult WritePng(const QString& path, const QImage& image) {
  PublishTarget target{path, nullptr, {}};
  return WritePng(target, image);
}

}  // namespace lumora
