#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileSizeLimit.h"
#include "Unprivileged.h"
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

TEST(AtomicFile, OnlyItsOwnStaleHiddenFilesAreSweptAway) {
  // What a write killed on a filesystem without unnamed files leaves, among
  // things that look alike but are not ours to remove.
  QTemporaryDir dir;
  ::chmod(QFile::encodeName(dir.path()).constData(), 0777);
  struct Entry {
    const char* name;
    enum { File, Folder, Link } kind;
    bool old;
    bool foreign;
    bool swept;
  };
  const Entry entries[] = {
      {".Screen 00000.bmp.Ab3dE9", Entry::File, true, false, true},
      {".Bild 00001.jpg.zzzzzz", Entry::File, true, false, true},
      {".Screen 00002.bmp.Ab3dE9", Entry::File, false, false, false},  // may be written right now
      {".Screen 00003.bmp.Ab3dE9", Entry::File, true, true, false},    // another user's
      {".Screen 00004.bmp.Ab3dE9", Entry::Folder, true, false, false},
      {".Screen 00005.bmp.Ab3dE9", Entry::Link, true, false, false},
      {".notes.txt.Ab3dE9", Entry::File, true, false, false},          // not a picture
      {".Screen 00006.bmp.tmp", Entry::File, true, false, false},
      {".Screen 00007.bmp.Ab3-E9", Entry::File, true, false, false},
      {"Screen 00008.bmp.Ab3dE9", Entry::File, true, false, false},    // not hidden
      {".bmp.Ab3dE9", Entry::File, true, false, false},
  };
  const QStringList endings{".bmp", ".jpg"};
  const bool asRoot = ::geteuid() == 0;  // only root can give a file to another user
  for (const Entry& e : entries) {
    if (e.foreign && !asRoot) continue;
    const QString path = dir.filePath(QLatin1String(e.name));
    const QByteArray name = QFile::encodeName(path);
    if (e.kind == Entry::Folder) ASSERT_TRUE(QDir().mkdir(path));
    if (e.kind == Entry::Link) ASSERT_EQ(::symlink("/nonexistent", name.constData()), 0);
    if (e.kind == Entry::File) ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
    if (e.foreign) ASSERT_EQ(::lchown(name.constData(), test::kNobody, test::kNobody), 0);
    if (e.old) {
      const timespec twoHoursAgo[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
      ASSERT_EQ(::utimensat(AT_FDCWD, name.constData(), twoHoursAgo, AT_SYMLINK_NOFOLLOW), 0);
    }
  }
  int swept = 0;
  for (const Entry& e : entries) swept += e.swept;
  EXPECT_EQ(AtomicFile::SweepStale(dir.path(), endings), swept);
  for (const Entry& e : entries) {
    if (e.foreign && !asRoot) continue;
    struct stat st {};
    EXPECT_EQ(::lstat(QFile::encodeName(dir.filePath(QLatin1String(e.name))).constData(), &st) != 0, e.swept)
        << e.name;
  }
}
