#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FileSizeLimit.h"
#include "platform/fs/AtomicFile.h"

using namespace lumora;
using lumora::test::FileSizeLimit;

namespace {
QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

TEST(AtomicFile, ReplacesOnCommitAndKeepsTheOldFileOtherwise) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("a.bin"));
  {
    AtomicFile f(path);
    ASSERT_TRUE(f.open());
    ASSERT_TRUE(f.write("old", 3));
    ASSERT_TRUE(f.commit());
  }
  EXPECT_EQ(readAll(path), QByteArray("old"));
  {
    AtomicFile f(path);
    ASSERT_TRUE(f.open());
    f.write("new and longer", 14);
    // abandoned without commit
  }
  EXPECT_EQ(readAll(path), QByteArray("old"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary file left";
}

TEST(AtomicFile, MissingFolderAndAWriteFailingMidwayKeepTheOldFile) {
  QTemporaryDir dir;
  AtomicFile missing(dir.filePath(QStringLiteral("no/such/folder/a.bin")));
  EXPECT_FALSE(missing.open());

  const QString path = dir.filePath(QStringLiteral("keep.bin"));
  {
    AtomicFile f(path);
    ASSERT_TRUE(f.open());
    ASSERT_TRUE(f.write("precious", 8));
    ASSERT_TRUE(f.commit());
  }
  {
    FileSizeLimit limit(1000);  // the disk "fills up" after 1000 bytes
    AtomicFile f(path);
    ASSERT_TRUE(f.open());
    const QByteArray big(5000, 'x');
    EXPECT_FALSE(f.write(big.constData(), size_t(big.size())));
    EXPECT_FALSE(f.commit());
  }
  EXPECT_EQ(readAll(path), QByteArray("precious"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}
