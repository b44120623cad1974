#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <jpeglib.h>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "SaverTestUtil.h"
#include "capture/ImageSaver.h"
#include "capture/JpegWriter.h"
#include "capture/TgaWriter.h"

using namespace lumora;
using namespace lumora::test;

namespace {

// The long way round: a 24-bit red-green-blue copy through libjpeg's own memory
// destination, with the same settings.
QByteArray encodeFromRgbCopy(const QImage& image, int quality) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(rgb.width());
  cinfo.image_height = JDIMENSION(rgb.height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  cinfo.dct_method = JDCT_FLOAT;
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  for (int y = 0; y < rgb.height(); ++y) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(y));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  QByteArray out(reinterpret_cast<const char*>(buffer), qsizetype(size));
  free(buffer);
  return out;
}

// Every quantisation value of every DQT segment.
std::vector<int> quantisationValues(const QByteArray& f) {
  std::vector<int> out;
  for (int i = 2; i + 4 < f.size();) {
    if (uint8_t(f[i]) != 0xff) return out;
    const int marker = uint8_t(f[i + 1]);
    const int length = uint8_t(f[i + 2]) << 8 | uint8_t(f[i + 3]);
    if (marker == 0xda) break;  // start of scan
    if (marker == 0xdb)
      for (int t = i + 4; t < i + 2 + length; t += 65) {
        EXPECT_EQ(uint8_t(f[t]) >> 4, 0) << "8-bit tables only";
        for (int k = 1; k <= 64; ++k) out.push_back(uint8_t(f[t + k]));
      }
    i += 2 + length;
  }
  return out;
}

// The 32-bit rows give the file of a 24-bit copy: odd and
// even sizes around the 16-pixel MCU, edges to repeat, every colour value.
TEST(Jpeg, SameBytesAsTheTwentyFourBitRoute) {
  QImage noise(251, 133, QImage::Format_RGB32);
  QRandomGenerator random(5);
  for (int y = 0; y < noise.height(); ++y)
    for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, random.generate() | 0xff000000u);
  const QImage pictures[] = {TestPattern(101, 37), TestPattern(1, 1), TestPattern(16, 17), TestPattern(17, 16),
                             TestPattern(32, 32), noise, noise.copy(0, 0, 250, 130)};
  for (const QImage& picture : pictures)
    for (int q : {1, 80, 100}) {
      const std::vector<uint8_t> ours = EncodeJpeg(picture, q).bytes();
      EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(ours.data()), qsizetype(ours.size())),
                encodeFromRgbCopy(picture, q))
          << picture.width() << "x" << picture.height() << " q" << q;
    }
}

TEST(Jpeg, QualityHundredQuantisesByOneAndBothMethodsGiveOneFile) {
  QTemporaryDir dir;
  FakeDialogs dialogs;
  FakeClipboard clipboard;
  FixedClock clock;
  ImageSaver saver(dialogs, clipboard, clock);
  const QImage pattern = TestPattern(64, 48);
  for (int q : {1, 100}) {
    QImage a = pattern, b = pattern;
    const QString quality = dir.filePath(QStringLiteral("q%1.jpg").arg(q));
    const QString speed = dir.filePath(QStringLiteral("s%1.jpg").arg(q));
    ASSERT_TRUE(saver.SaveAsJpeg(a, quality, false, uint8_t(q), jmQuality));
    ASSERT_TRUE(saver.SaveAsJpeg(b, speed, false, uint8_t(q), jmSpeed));
    const QByteArray f = ReadAll(quality);
    EXPECT_EQ(f, ReadAll(speed));
    EXPECT_EQ(f.left(4), Bytes({0xff, 0xd8, 0xff, 0xe0})) << "JFIF";
    // Baseline frame with three components.
    const int sof = f.indexOf(Bytes({0xff, 0xc0}));
    ASSERT_GT(sof, 0);
    EXPECT_EQ(uint8_t(f[sof + 9]), 3);
    const std::vector<int> values = quantisationValues(f);
    ASSERT_EQ(values.size(), 128u);
    if (q == 100) {
      EXPECT_EQ(std::count(values.begin(), values.end(), 1), 128);
    }
    const QImage decoded = DecodeWithImageMagick(quality);
    ASSERT_EQ(decoded.size(), pattern.size());
    if (q == 100) {
      // Lossy only by rounding and chroma subsampling: stays close to the picture.
      long long error = 0;
      for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) error += std::abs(qGray(decoded.pixel(x, y)) - qGray(pattern.pixel(x, y)));
      EXPECT_LT(error / (64 * 48), 4);
    }
  }
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST(Tga, ThreeByTwoIsThirtySevenBytes) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("k.tga"));
  ASSERT_EQ(WriteTga(path, KnownColours()), WriteResult::Ok);
  EXPECT_EQ(ReadAll(path).toHex(' '),
            Bytes({1, 0, 2, 0, 0, 0, 0, 24, 0, 0, 0, 0, 3, 0, 2, 0, 24, 0x20, 0x1a,
                   0, 0, 0xff, 0xff, 0xff, 0xff, 0x1e, 0x14, 0x0a,  // top row first
                   0, 0, 0, 0xff, 0, 0, 0xc0, 0xc0, 0xc0})
                .toHex(' '));
}

TEST(Tga, RowsAreUnpaddedAndTheDecoderAgrees) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("p.tga"));
  // An older, longer file of that name is replaced completely.
  {
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'x'));
  }
  const QImage pattern = TestPattern(5, 7);
  ASSERT_EQ(WriteTga(path, pattern), WriteResult::Ok);
  EXPECT_EQ(ReadAll(path).size(), 19 + 5 * 7 * 3);
  EXPECT_EQ(DecodeWithImageMagick(path), pattern);
}

TEST(Tga, WiderThanTheOldRowLimitIsWritten) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("wide.tga"));
  const QImage pattern = TestPattern(21846, 2);
  ASSERT_EQ(WriteTga(path, pattern), WriteResult::Ok);
  const QByteArray f = ReadAll(path);
  ASSERT_EQ(f.size(), 19 + 21846 * 2 * 3);
  EXPECT_EQ(Le16(f, 12), 21846);
  const QRgb last = pattern.pixel(21845, 1);
  EXPECT_EQ(f.right(3), Bytes({qBlue(last), qGreen(last), qRed(last)}));
}

}  // namespace
