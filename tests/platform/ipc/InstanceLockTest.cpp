#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

#include "Unprivileged.h"
#include "platform/ipc/InstanceLock.h"
#include "platform/fs/RuntimeFolder.h"

using namespace lumora;

TEST(InstanceLock, OneKeyPerServerHoweverTheDisplayIsSpelt) {
  const struct {
    const char* display;
    const char* key;
  } cases[] = {
      {":0", "local-0"},       {":0.0", "local-0"},         {"unix:0", "local-0"},
      {"unix:0.1", "local-0"}, {":12", "local-12"},         {"host:1.0", "host-1"},
      {"tcp/host:1", "host-1"}, {"[::1]:3", "___1_-3"},     {"no display", ""},
      {"", ""},
      // Numbers no server can have name none, and so never another display's program.
      {":999999999999", ""},   {"host:4294967296.0", ""},   {":2147483648", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(InstanceLock::ServerKey(QLatin1String(c.display)), QLatin1String(c.key)) << c.display;
}

TEST(InstanceLock, TheSecondProgramOnTheSameServerIsRefused) {
  QTemporaryDir dir;
  const QStringList folders{dir.filePath("run")};
  InstanceLock first(InstanceLock::ServerKey(":7"), folders);
  ASSERT_TRUE(first.acquired());
  EXPECT_EQ(QFileInfo(dir.filePath("run")).permissions() & 0x0077, 0) << "a folder only its user may enter";
  for (const char* spelling : {":7", ":7.0", "unix:7"}) {
    InstanceLock second(InstanceLock::ServerKey(QLatin1String(spelling)), folders);
    EXPECT_FALSE(second.acquired()) << spelling;
    EXPECT_TRUE(second.heldElsewhere()) << spelling;
  }
  {
    InstanceLock otherServer(InstanceLock::ServerKey(":8"), folders);
    EXPECT_TRUE(otherServer.acquired());
    EXPECT_TRUE(QFileInfo::exists(otherServer.path()));
  }
  EXPECT_EQ(QDir(dir.filePath("run")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1)
      << "a lock file goes with its program";
}

TEST(InstanceLock, FoldersAndFilesThatAreNotTheUsersOwnAreNeverUsed) {
  QTemporaryDir dir;
  // A shared folder another user made under the private folder's name.
  const QString foreign = dir.filePath("foreign");
  ASSERT_TRUE(QDir().mkdir(foreign));
  ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), test::kNobody, test::kNobody), 0);
  ASSERT_EQ(::chmod(QFile::encodeName(foreign).constData(), 0777), 0);
  EXPECT_FALSE(PrivateFolder(foreign));

  // A link planted where the lock file goes, pointing at a file of the user's.
  const QString planted = dir.filePath("planted");
  ASSERT_TRUE(PrivateFolder(planted));
  const QString victim = dir.filePath("victim");
  ASSERT_TRUE(QFile::link(victim, planted + "/lumora-local-5.lock"));

  const QString fallback = dir.filePath("fallback");
  InstanceLock lock("local-5", {foreign, planted, fallback});
  EXPECT_TRUE(lock.acquired()) << "a leftover is no reason to refuse to start";
  EXPECT_EQ(lock.folder(), fallback);
  EXPECT_FALSE(QFileInfo::exists(victim)) << "the link was not followed";
}
