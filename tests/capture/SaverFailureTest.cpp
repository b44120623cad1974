#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <stdexcept>
#include <unistd.h>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "FileSizeLimit.h"
#include "SaverTestUtil.h"
#include "capture/ColorDepth.h"
#include "capture/ImageSaver.h"
#include "platform/clipboard/QtClipboard.h"

using namespace lumora;
using namespace lumora::test;

namespace {

const QString kCannotCreate = QString::fromUtf8(
    "Der angegebene Dateiname oder der Pfad ist nicht gültig oder Sie\n"
    "haben nicht die notwendigen Rechte, diese Datei anzulegen. Bitte\n"
    "prüfen Sie Ihre Eingaben und die Ihnen zugewiesenen Benutzerrechte.\n\n");

QString writeFailed(const char* kind) {
  return QString::fromUtf8("Das Speichern der %1 schlug fehl! Bitte prüfen Sie den\n"
                           "Datenträger und versuchen Sie es dann erneut.")
      .arg(QString::fromUtf8(kind));
}

struct Format {
  const char* extension;
  const char* kind;
};
const Format kFormats[] = {
    {".bmp", "Bitmap-Datei"}, {".jpg", "JPEG-Datei"}, {".tga", "Targa-Datei"}, {".png", "PNG-Datei"}};

class Savers : public ::testing::Test {
 protected:
  bool save(const QString& path, bool toClipboard = false, uint8_t bmpBit = pf24Bit) {
    QImage working = TestPattern(300, 200);
    tBeschriftung none;
    none.Position = tpKeine;
    return saver.SaveImage(working, path, toClipboard, none, FormatSettings{bmpBit, 80, jmQuality});
  }
  QString oldFile(const QString& name) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("the previous capture");
    return path;
  }
  // Only the target itself: no temporary file is left behind.
  QStringList entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

  QTemporaryDir dir;
  FakeDialogs dialogs;
  FakeClipboard clipboard;
  FixedClock clock;
  ImageSaver saver{dialogs, clipboard, clock};
};

TEST_F(Savers, MissingFolderNamesTheFile) {
  for (const Format& f : kFormats) {
    dialogs.boxes.clear();
    const QString path = dir.filePath(QStringLiteral("missing/a") + QLatin1String(f.extension));
    EXPECT_FALSE(save(path)) << f.extension;
    EXPECT_EQ(dialogs.texts(), QStringList{kCannotCreate + path}) << f.extension;
  }
  EXPECT_TRUE(entries().isEmpty());
}

TEST_F(Savers, WriteFailingMidwayKeepsTheOldFile) {
  for (const Format& f : kFormats) {
    dialogs.boxes.clear();
    const QString path = oldFile(QStringLiteral("same") + QLatin1String(f.extension));
    {
      FileSizeLimit limit(1024);  // below the smallest of the files, a PNG of a few kilobytes
      EXPECT_FALSE(save(path)) << f.extension;
    }
    EXPECT_EQ(dialogs.texts(), QStringList{writeFailed(f.kind)}) << f.extension;
    EXPECT_EQ(ReadAll(path), QByteArray("the previous capture")) << f.extension;
    EXPECT_EQ(entries().size(), 1) << entries().join(' ').toStdString();
    QFile::remove(path);
  }
}

TEST_F(Savers, NoWriteRightsKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
  for (const Format& f : kFormats) {
    dialogs.boxes.clear();
    const QString path = oldFile(QStringLiteral("locked") + QLatin1String(f.extension));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    EXPECT_FALSE(save(path)) << f.extension;
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(dialogs.texts(), QStringList{kCannotCreate + path}) << f.extension;
    EXPECT_EQ(ReadAll(path), QByteArray("the previous capture"));
  }
}

TEST_F(Savers, TargaTooLargeForItsHeaderWritesNothing) {
  QImage wide(65536, 1, QImage::Format_RGB32);
  wide.fill(Qt::red);
  const QString path = oldFile(QStringLiteral("wide.tga"));
  EXPECT_FALSE(saver.SaveAsTga(wide, path, false));
  EXPECT_EQ(dialogs.texts(), QStringList{writeFailed("Targa-Datei")});
  EXPECT_EQ(ReadAll(path), QByteArray("the previous capture"));
}

// libjpeg refuses such a picture; that is no write error of ours but an
// unexpected failure for the general error report, and the old file stays.
TEST_F(Savers, JpegEncoderFailureThrowsBeforeTouchingTheFile) {
  QImage wide(65501, 1, QImage::Format_RGB32);
  wide.fill(Qt::blue);
  const QString path = oldFile(QStringLiteral("wide.jpg"));
  EXPECT_THROW(saver.SaveAsJpeg(wide, path, false, 80, jmQuality), std::runtime_error);
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_EQ(ReadAll(path), QByteArray("the previous capture"));
  EXPECT_EQ(entries().size(), 1);
}

TEST_F(Savers, SuccessReplacesTheOldFile) {
  for (const Format& f : kFormats) {
    const QString path = oldFile(QStringLiteral("ok") + QLatin1String(f.extension));
    EXPECT_TRUE(save(path)) << f.extension;
    EXPECT_EQ(DecodeWithImageMagick(path).size(), QSize(300, 200)) << f.extension;
  }
  EXPECT_TRUE(dialogs.boxes.empty());
}

// A numbered name that another program took since the proposal is left alone:
// the picture goes on to the next name the naming gives.
TEST_F(Savers, ANumberedNameTakenMeanwhileSendsThePictureToTheNextOne) {
  struct Names : NameSource {
    QStringList left;
    QString nextName() override { return left.isEmpty() ? QString() : left.takeFirst(); }
  };
  for (const Format& f : kFormats) {
    const QString taken = oldFile(QStringLiteral("Screen 00000") + QLatin1String(f.extension));
    Names names;
    names.left = {dir.filePath(QStringLiteral("Screen 00001") + QLatin1String(f.extension))};
    QImage working = TestPattern(300, 200);
    tBeschriftung none;
    none.Position = tpKeine;
    ASSERT_TRUE(saver.SaveImage(working, taken, false, none, FormatSettings{pf24Bit, 80, jmQuality}, &names))
        << f.extension;
    EXPECT_EQ(ReadAll(taken), QByteArray("the previous capture")) << f.extension;
    EXPECT_EQ(saver.publishedPath(), dir.filePath(QStringLiteral("Screen 00001") + QLatin1String(f.extension)));
    EXPECT_EQ(DecodeWithImageMagick(saver.publishedPath()).size(), QSize(300, 200)) << f.extension;
  }
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(Savers, ClipboardGetsTheConvertedPictureAndNoFileIsWritten) {
  struct Case {
    const char* extension;
    uint8_t bmpBit;
    QImage::Format format;
    int colours;
  } cases[] = {{".bmp", pf4Bit, QImage::Format_Indexed8, 16},
               {".bmp", pf1Bit, QImage::Format_Mono, 2},
               {".bmp", pf16Bit, QImage::Format_RGB16, 0},
               {".jpg", pf4Bit, QImage::Format_RGB32, 0},  // the bitmap itself, not JPEG data
               {".tga", pf4Bit, QImage::Format_RGB32, 0},
               {".png", pf4Bit, QImage::Format_RGB32, 0}};
  for (const Case& c : cases) {
    clipboard.images.clear();
    EXPECT_TRUE(save(dir.filePath(QStringLiteral("c") + QLatin1String(c.extension)), true, c.bmpBit));
    ASSERT_EQ(clipboard.images.size(), 1u);
    EXPECT_EQ(clipboard.images[0].format(), c.format) << c.extension;
    EXPECT_EQ(clipboard.images[0].colorCount(), c.colours) << c.extension;
  }
  EXPECT_EQ(clipboard.images[0], TestPattern(300, 200));
  EXPECT_TRUE(entries().isEmpty());
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST(QtClipboard, PalettePicturesReachOtherProgramsInThePalettesColours) {
  const QImage indexed = ConvertToDepth(TestPattern(40, 30), pf4Bit);
  QtClipboard().setImage(indexed);
  const QImage offered = QGuiApplication::clipboard()->image();
  ASSERT_EQ(offered.size(), indexed.size());
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      ASSERT_TRUE(Vga16Palette().contains(offered.pixel(x, y)));
      ASSERT_EQ(offered.pixel(x, y), indexed.pixel(x, y));
    }
}

}  // namespace
