// The file that stands in for the machine hive: replacing, rescuing and removing it.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

#include "FileSizeLimit.h"
#include "RegistryTestSupport.h"
#include "settings/store/RegFileRegistry.h"

using namespace lumora;

namespace {

const QString kKey = QStringLiteral("\\SOFTWARE\\LUMORA\\");

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

bool storeValue(Registry& r, const QString& name, const RegValue& v) {
  std::unique_ptr<RegistryKey> key = r.CreateKey(kKey);
  return key && key->SetValue(name, v) && key->Close();
}

class RegFileRegistryTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString path = dir.filePath(QStringLiteral("config/lumora/registry.reg"));
  RegFileRegistry registry{path};
};

}  // namespace

TEST_F(RegFileRegistryTest, CreatesReadsAndDeletesTheKeyInItsOwnFile) {
  EXPECT_FALSE(registry.KeyExists(kKey));
  EXPECT_EQ(registry.OpenKey(kKey), nullptr);
  EXPECT_FALSE(registry.DeleteKey(kKey));
  EXPECT_FALSE(QFile::exists(path));

  ASSERT_TRUE(storeValue(registry, QStringLiteral("FontSize"), RegValue::Number(26)));
  EXPECT_TRUE(readAll(path).startsWith("Windows Registry Editor Version 5.00\n\n"
                                       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\LUMORA]\n\"FontSize\"=dword:0000001a\n"));
  RegFileRegistry restarted(path);
  ASSERT_TRUE(restarted.KeyExists(QStringLiteral("software\\lumora")));
  EXPECT_EQ(restarted.OpenKey(kKey)->Value(QStringLiteral("fontSIZE"))->asNumber(), 26);

  EXPECT_TRUE(restarted.DeleteKey(kKey));
  EXPECT_FALSE(QFile::exists(path));  // nothing else was in it
  EXPECT_FALSE(restarted.DeleteKey(kKey));
}

TEST_F(RegFileRegistryTest, LeavesOtherKeysAsTheyWere) {
  QDir().mkpath(dir.filePath(QStringLiteral("config/lumora")));
  writeAll(path, "Windows Registry Editor Version 5.00\n\n; mine\n[HKEY_CURRENT_USER\\Other]\n\"a\"=hex:01,02\n");
  ASSERT_TRUE(storeValue(registry, QStringLiteral("Text"), RegValue::Text(QStringLiteral("x"))));
  EXPECT_TRUE(registry.DeleteKey(kKey));
  EXPECT_EQ(readAll(path), "Windows Registry Editor Version 5.00\n\n; mine\n\n[HKEY_CURRENT_USER\\Other]\n"
                           "\"a\"=hex:01,02\n\n");
}

TEST_F(RegFileRegistryTest, ALinkedStoreStaysALink) {
  const QString real = dir.filePath(QStringLiteral("dotfiles/lumora.reg"));
  QDir().mkpath(dir.filePath(QStringLiteral("config/lumora")));
  ASSERT_TRUE(QFile::link(real, path));  // dangling until the first save
  ASSERT_TRUE(storeValue(registry, QStringLiteral("Aktiv"), RegValue::Number(1)));
  EXPECT_TRUE(QFileInfo(path).isSymLink());
  EXPECT_TRUE(readAll(real).contains("\"Aktiv\"=dword:00000001"));
}

TEST_F(RegFileRegistryTest, KeepsADamagedFileBesideTheNewOne) {
  const QByteArray valid = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\LUMORA]\n"
                           "\"FileDir\"=\"/home/me/\"\n\"Clipboard\"=dword:00000001\n";
  QByteArray huge(10 * 1024 * 1024, ';');
  huge.prepend("Windows Registry Editor Version 5.00\n");
  struct Case {
    const char* what;
    QByteArray bytes;
  };
  const Case cases[] = {
      {"truncated", valid.left(valid.size() - 20)},
      {"binary garbage", QByteArray::fromHex("00ff13a0c3") + QByteArray(4000, '\xee')},
      {"10 MB", huge},
  };
  QDir().mkpath(dir.filePath(QStringLiteral("config/lumora")));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeAll(path, c.bytes);
    // The key may be in there: not a first run, but nothing readable.
    EXPECT_TRUE(registry.KeyExists(kKey));
    EXPECT_EQ(registry.OpenKey(kKey), nullptr);
    ASSERT_TRUE(storeValue(registry, QStringLiteral("SC_Screen"), RegValue::Number('S')));
    EXPECT_EQ(readAll(registry.brokenPath()), c.bytes);
    EXPECT_EQ(registry.OpenKey(kKey)->Value(QStringLiteral("SC_Screen"))->asNumber(), 'S');
  }
}

TEST_F(RegFileRegistryTest, AFailedSaveLeavesTheOldFile) {
  ASSERT_TRUE(storeValue(registry, QStringLiteral("Text"), RegValue::Text(QStringLiteral("alt"))));
  const QByteArray before = readAll(path);
  {
    // A full disk: every write past a few bytes fails.
    test::FileSizeLimit limit(16);
    EXPECT_FALSE(storeValue(registry, QStringLiteral("Text"), RegValue::Text(QString(500, QLatin1Char('n')))));
  }
  EXPECT_EQ(readAll(path), before);

  const QByteArray folder = QFile::encodeName(dir.filePath(QStringLiteral("config/lumora")));
  ASSERT_EQ(::chmod(folder.constData(), 0555), 0);
  EXPECT_FALSE(test::WithoutPrivileges(
      [&] { return storeValue(registry, QStringLiteral("Text"), RegValue::Text(QStringLiteral("neu"))); }));
  EXPECT_FALSE(test::WithoutPrivileges([&] { return registry.DeleteKey(kKey); }));
  ::chmod(folder.constData(), 0755);
  EXPECT_EQ(readAll(path), before);
  EXPECT_EQ(QDir(QString::fromUtf8(folder)).entryList(QDir::Files | QDir::Hidden).size(), 1);  // no temporary left
}

TEST(RegFileRegistryPath, FollowsTheEnvironment) {
  const QByteArray oldRegistry = qgetenv("LUMORA_REGISTRY");
  const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
  qputenv("LUMORA_REGISTRY", "/srv/lumora.reg");
  EXPECT_EQ(RegFileRegistry::DefaultPath(), QStringLiteral("/srv/lumora.reg"));
  qunsetenv("LUMORA_REGISTRY");
  qputenv("XDG_CONFIG_HOME", "/cfg");
  EXPECT_EQ(RegFileRegistry::DefaultPath(), QStringLiteral("/cfg/lumora/registry.reg"));
  qunsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(RegFileRegistry::DefaultPath(), QDir::homePath() + QStringLiteral("/.config/lumora/registry.reg"));
  if (!oldRegistry.isNull()) qputenv("LUMORA_REGISTRY", oldRegistry);
  if (!oldConfig.isNull()) qputenv("XDG_CONFIG_HOME", oldConfig);
}
