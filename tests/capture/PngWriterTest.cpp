#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <zlib.h>

#include <cstring>

#include "Fakes.h"
#include "SaverTestUtil.h"
#include "capture/PngWriter.h"

using namespace lumora;
using namespace lumora::test;

namespace {

using Filter = PngOptions::Filter;

struct Chunk {
  QByteArray type;
  QByteArray data;
  bool crcOk = false;
};

uint32_t Be32(const QByteArray& b, qsizetype at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = v << 8 | uint8_t(b[at + i]);
  return v;
}

// The chunks after the signature, each with its checksum recomputed by zlib.
std::vector<Chunk> Chunks(const QByteArray& file) {
  std::vector<Chunk> out;
  for (qsizetype at = 8; at + 12 <= file.size();) {
    const qsizetype length = Be32(file, at);
    if (at + 12 + length > file.size()) break;
    Chunk c{file.mid(at + 4, 4), file.mid(at + 8, length), false};
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(file.constData() + at + 4), uInt(4 + length));
    c.crcOk = crc == Be32(file, at + 8 + length);
    out.push_back(c);
    at += 12 + length;
  }
  return out;
}

// The picture data of all IDAT chunks, inflated by zlib.
QByteArray Inflated(const std::vector<Chunk>& chunks, size_t expected) {
  QByteArray stream;
  for (const Chunk& c : chunks)
    if (c.type == "IDAT") stream += c.data;
  QByteArray out(qsizetype(expected) + 1, '\0');
  uLongf size = uLongf(out.size());
  if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(stream.constData()),
                 uLong(stream.size())) != Z_OK)
    return QByteArray();
  out.resize(qsizetype(size));
  return out;
}

QByteArray Encoded(const QImage& image, const PngOptions& options = {}) {
  const std::vector<uint8_t> bytes = EncodePng(image, options);
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

QImage Noise(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  QRandomGenerator random(17);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, random.generate() | 0xff000000u);
  return image;
}

// Flat with a few shapes above, noise below: bands of both kinds.
QImage HalfFlatHalfNoise(int width, int height) {
  QImage image = Noise(width, height);
  for (int y = 0; y < height / 2; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, (x / 9 + y / 7) % 5 ? qRgb(250, 250, 250) : qRgb(20, 20, 90));
  return image;
}

TEST(Png, SignatureHeaderResolutionAndEndByteForByte) {
  const QByteArray f = Encoded(KnownColours());
  EXPECT_EQ(f.left(8), Bytes({0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a}));
  EXPECT_EQ(f.mid(8, 8 + 13), Bytes({0, 0, 0, 13, 'I', 'H', 'D', 'R',  //
                                     0, 0, 0, 3,                        // width
                                     0, 0, 0, 2,                        // height
                                     8,                                 // bits per channel
                                     2,                                 // colour type: RGB
                                     0, 0, 0}));                        // deflate, filter set 0, not interlaced
  EXPECT_EQ(f.mid(33, 8 + 9), Bytes({0, 0, 0, 9, 'p', 'H', 'Y', 's',  //
                                     0, 0, 0x0e, 0xc4, 0, 0, 0x0e, 0xc4,  // 3780 pixels per metre: 96 dpi
                                     1}));                                // unit: metre
  EXPECT_EQ(f.right(12), Bytes({0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xae, 0x42, 0x60, 0x82}));

  const std::vector<Chunk> chunks = Chunks(f);
  ASSERT_GE(chunks.size(), 4u);
  EXPECT_EQ(chunks.front().type, "IHDR");
  EXPECT_EQ(chunks[1].type, "pHYs");
  EXPECT_EQ(chunks.back().type, "IEND");
  for (size_t i = 2; i + 1 < chunks.size(); ++i) EXPECT_EQ(chunks[i].type, "IDAT") << i;
  for (const Chunk& c : chunks) EXPECT_TRUE(c.crcOk) << c.type.constData();
}

TEST(Png, RowsArePaethFilteredRedGreenBlueBytes) {
  // Worked by hand from the format's predictor: the top row has only left
  // neighbours; the bottom row's middle pixel picks up, left and up in turn.
  PngOptions paeth;
  paeth.filter = Filter::Paeth;
  paeth.flatColours = 0;
  const QByteArray rows = Inflated(Chunks(Encoded(KnownColours(), paeth)), 2 * 10);
  EXPECT_EQ(rows.toHex(' '), Bytes({4, 0xff, 0, 0, 0, 0xff, 0xff, 0x0b, 0x15, 0x1f,  //
                                    4, 0x01, 0, 0, 0, 0x01, 0, 0xc0, 0xc0, 0xa2})
                                 .toHex(' '));
}

// An independent decoder gives back the picture exactly, for every filter, odd
// widths, single-row bands joined into one stream, and incompressible rows.
TEST(Png, DecodesToThePictureForEveryFilterWidthAndBanding) {
  struct Case {
    QImage picture;
    Filter filter;
    size_t bandBytes;
  } cases[] = {
      {TestPattern(1, 1), Filter::Paeth, size_t(1) << 20},
      {TestPattern(1, 9), Filter::Up, 1},
      {TestPattern(3, 5), Filter::Sub, 1},
      {TestPattern(17, 33), Filter::Average, 64},
      {TestPattern(333, 41), Filter::None, 4096},
      {TestPattern(333, 41), Filter::Paeth, 1},
      {TestPattern(701, 300), Filter::Paeth, 64 << 10},  // ten bands of 31 rows
      {Noise(129, 70), Filter::Paeth, 8 << 10},
      {HalfFlatHalfNoise(150, 80), Filter::Paeth, 4 << 10},  // both strategies in one stream
      {Noise(130, 71), Filter::Sub, size_t(1) << 20},
      {TestPattern(333, 41), Filter::Adaptive, 1},
      {HalfFlatHalfNoise(150, 80), Filter::Adaptive, 4 << 10},  // unfiltered, filtered and photographic bands
      {Noise(257, 64), Filter::Adaptive, 16 << 10},
  };
  QTemporaryDir dir;
  for (const Case& c : cases) {
    PngOptions options;
    options.filter = c.filter;
    options.bandBytes = c.bandBytes;
    options.workers = 3;
    const QString path = dir.filePath(QStringLiteral("p.png"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(Encoded(c.picture, options));
    f.close();
    EXPECT_EQ(DecodeWithImageMagick(path), c.picture)
        << c.picture.width() << "x" << c.picture.height() << " filter " << int(c.filter) << " band " << c.bandBytes;
  }
}

TEST(Png, TheFileIsTheSameHoweverManyThreadsShareTheWork) {
  PngOptions options;
  options.bandBytes = 16 << 10;
  const QImage picture = TestPattern(400, 200);  // 8 bands
  options.workers = 1;
  const QByteArray one = Encoded(picture, options);
  for (int workers : {2, 5, 64}) {
    options.workers = workers;
    EXPECT_EQ(Encoded(picture, options), one) << workers;
  }
}

// Bands are compressed on their own and joined into one stream: the joins cost a
// few bytes each, not the band's compression.
TEST(Png, JoiningBandsCostsAFewBytesEach) {
  const QImage noise = Noise(400, 40);  // no row repeats another: bands lose no matches
  PngOptions whole;
  whole.filter = Filter::None;
  whole.flatColours = 0;
  PngOptions rowBands = whole;
  rowBands.bandBytes = 1;
  const qsizetype single = Encoded(noise, whole).size();
  // Each band adds its own chunk, its closing stored block and block header.
  EXPECT_LT(Encoded(noise, rowBands).size(), single + 40 * 40) << single;
}

// Flat bands go unfiltered, photographic ones at the slow level, the rest as the
// options say: the file is the one that the band's treatment alone gives.
TEST(Png, EachBandGetsTheTreatmentItsContentAsksFor) {
  const QImage flat = HalfFlatHalfNoise(200, 100).copy(0, 0, 200, 50);
  QImage ramp(200, 50, QImage::Format_RGB32);  // a smooth gradient: many colours, filtered to few values
  for (int y = 0; y < ramp.height(); ++y)
    for (int x = 0; x < ramp.width(); ++x) ramp.setPixel(x, y, qRgb(x, (x + y) % 256, (3 * y) % 256));
  PngOptions unfiltered;
  unfiltered.filter = Filter::None;
  unfiltered.flatColours = 0;
  unfiltered.photoBelow = 0;  // unfiltered flat bytes hold few zeros, yet are no photograph
  PngOptions slow;
  slow.level = slow.photoLevel;
  slow.flatColours = 0;
  slow.photoBelow = 0;
  PngOptions plain;
  plain.flatColours = 0;
  plain.photoBelow = 0;
  struct Case {
    const char* what;
    QImage picture;
    PngOptions alone;
  } cases[] = {{"flat", flat, unfiltered}, {"noise", Noise(200, 50), slow}, {"gradient", ramp, plain}};
  for (const Case& c : cases) EXPECT_EQ(Encoded(c.picture), Encoded(c.picture, c.alone)) << c.what;
}

TEST(Png, OtherPictureFormatsAreWrittenAsTheirColours) {
  QImage rgb(4, 3, QImage::Format_RGB888);
  rgb.fill(QColor(10, 200, 30));
  const QByteArray rows = Inflated(Chunks(Encoded(rgb, {Filter::None, 8, size_t(1) << 20, 0})), 3 * 13);
  ASSERT_EQ(rows.size(), 3 * 13);
  EXPECT_EQ(rows.mid(13, 13), Bytes({0, 10, 200, 30, 10, 200, 30, 10, 200, 30, 10, 200, 30}));
}

TEST(Png, RefusalsThrowBeforeAnythingIsWritten) {
  EXPECT_THROW(EncodePng(QImage()), std::runtime_error);
  PngOptions badLevel;
  badLevel.level = 13;
  EXPECT_THROW(EncodePng(TestPattern(8, 8), badLevel), std::runtime_error);
  badLevel = {};
  badLevel.photoLevel = 0;
  EXPECT_THROW(EncodePng(TestPattern(8, 8), badLevel), std::runtime_error);
}

}  // namespace
