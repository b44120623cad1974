#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Unprivileged.h"
#include "platform/fs/AtomicFile.h"
#include "platform/fs/PathBytes.h"

using namespace lumora;
using lumora::test::RunUnprivileged;

namespace {

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Everything in the folder, hidden names included.
QStringList entries(const QString& dir) {
  return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

bool publish(PublishTarget& target, const QByteArray& bytes) {
  AtomicFile f(target);
  return f.open() && f.write(bytes.constData(), size_t(bytes.size())) && f.commit();
}

// Numbered names in a folder, as the naming hands them out.
class Numbers : public NameSource {
 public:
  Numbers(QString dir, int first, int last = 99) : dir_(std::move(dir)), next_(first), last_(last) {}
  QString nextName() override {
    return next_ > last_ ? QString() : dir_ + QStringLiteral("/n%1").arg(next_++, 2, 10, QLatin1Char('0'));
  }

 private:
  QString dir_;
  int next_;
  int last_;
};

// Runs the tests once with unnamed files and once with the hidden-name fallback
// that filesystems without O_TMPFILE get.
class Publish : public ::testing::TestWithParam<bool> {
 protected:
  bool unnamed() const { return !GetParam(); }
  // A target on the road this run takes.
  PublishTarget onThisRoad(const QString& path, NameSource* names) const { return {path, names, {}, unnamed()}; }
  QTemporaryDir dir_;
};

}  // namespace

TEST_P(Publish, ANewNameNeverReplacesWhatIsThereButTakesTheNextOne) {
  const QString d = dir_.path();
  // A file, a folder and a link to nowhere each take their name.
  ASSERT_TRUE(QFile(d + "/n00").open(QIODevice::WriteOnly));
  ASSERT_TRUE(QDir(d).mkdir("n01"));
  ASSERT_TRUE(QFile::link("/nonexistent", d + "/n02"));
  Numbers numbers(d, 1);
  PublishTarget target = onThisRoad(d + "/n00", &numbers);
  ASSERT_TRUE(publish(target, "picture"));
  EXPECT_EQ(target.published, d + "/n03");
  EXPECT_EQ(readAll(d + "/n03"), QByteArray("picture"));
  EXPECT_EQ(QFileInfo(d + "/n00").size(), 0) << "the file that was there is untouched";
  EXPECT_EQ(entries(d), (QStringList{"n00", "n01", "n02", "n03"})) << "nothing hidden left behind";

  Numbers none(d, 1, 0);
  PublishTarget full = onThisRoad(d + "/n00", &none);
  EXPECT_FALSE(publish(full, "lost?"));
  EXPECT_TRUE(full.published.isEmpty());
  EXPECT_EQ(entries(d).size(), 4);
}

TEST_P(Publish, ManyProcessesPublishingAtOnceEachGetTheirOwnName) {
  const QString d = dir_.path();
  constexpr int kWriters = 12;
  int ready[2], go[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(go), 0);
  std::vector<pid_t> pids;
  for (int i = 0; i < kWriters; ++i) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      // Every writer starts from the same proposal, as captures started together do.
      Numbers numbers(d, 1);
      PublishTarget target = onThisRoad(d + "/n00", &numbers);
      AtomicFile f(target);
      const QByteArray mine = QByteArray::number(i).repeated(1000);
      bool ok = f.open() && f.write(mine.constData(), size_t(mine.size()));
      char byte = 1;
      ok = ok && ::write(ready[1], &byte, 1) == 1 && ::read(go[0], &byte, 1) == 1;
      ::_exit(ok && f.commit() ? 0 : 1);
    }
    pids.push_back(pid);
  }
  char byte;
  for (int i = 0; i < kWriters; ++i) ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  const QByteArray release(kWriters, 1);
  ASSERT_EQ(::write(go[1], release.constData(), size_t(release.size())), kWriters);
  for (pid_t pid : pids) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int fd : {ready[0], ready[1], go[0], go[1]}) ::close(fd);
  const QStringList files = entries(d);
  ASSERT_EQ(files.size(), kWriters) << files.join(' ').toStdString();
  QSet<QByteArray> contents;
  for (const QString& f : files) contents.insert(readAll(d + "/" + f));
  EXPECT_EQ(contents.size(), kWriters) << "no picture replaced another";
}

TEST_P(Publish, ReplacingKeepsTheModeAndWorksForNamesAsLongAsTheFolderAllows) {
  const QString d = dir_.path();
  const QString path = d + "/" + QString(255 - 4, QLatin1Char('x')) + ".bmp";  // NAME_MAX exactly
  PublishTarget first = onThisRoad(path, nullptr);
  ASSERT_TRUE(publish(first, "one"));
  ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
  PublishTarget second = onThisRoad(path, nullptr);
  ASSERT_TRUE(publish(second, "two"));
  EXPECT_EQ(readAll(path), QByteArray("two"));
  EXPECT_EQ(QFileInfo(path).permissions() & 0x7777, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                                         QFile::WriteUser | QFile::ReadGroup);
  // A long name as a new numbered name, too.
  Numbers numbers(d, 1);
  PublishTarget fresh = onThisRoad(d + "/" + QString(255, QLatin1Char('y')), &numbers);
  ASSERT_TRUE(publish(fresh, "three"));
  EXPECT_EQ(entries(d).size(), 2);
}

TEST_P(Publish, AWriteProtectedFileIsNotReplacedBehindItsProtection) {
  QTemporaryDir open;
  ::chmod(QFile::encodeName(open.path()).constData(), 0777);  // the unprivileged writer's folder
  const QString path = open.path() + "/protected.bmp";
  const int code = RunUnprivileged([&] {
    {
      QFile f(path);
      if (!f.open(QIODevice::WriteOnly) || f.write("keep") != 4) return 10;
    }
    if (::chmod(QFile::encodeName(path).constData(), 0444) != 0) return 11;
    AtomicFile f(path, AtomicFile::Durability::Normal, unnamed());
    if (f.open()) return 12;  // refused before anything is written
    PublishTarget numbered = onThisRoad(path, nullptr);
    Numbers numbers(open.path(), 1);
    numbered.names = &numbers;  // a new name does not touch it either
    if (!publish(numbered, "new") || numbered.published == path) return 13;
    return 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(readAll(path), QByteArray("keep"));
}

TEST_P(Publish, AWriterKilledMidwayLeavesNothingBehind) {
  const QString d = dir_.path();
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
      StrayFileCleanup::installSignalHandlers();
      AtomicFile f(d + "/big.bmp", AtomicFile::Durability::Normal, unnamed());
      if (!f.open()) ::_exit(1);
      const QByteArray chunk(1 << 16, 'x');
      f.write(chunk.constData(), size_t(chunk.size()));
      char byte = 1;
      [[maybe_unused]] ssize_t n = ::write(ready[1], &byte, 1);
      for (;;) ::pause();
    }
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ::kill(pid, sig);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << "the signal still ends the process";
    EXPECT_TRUE(entries(d).isEmpty()) << entries(d).join(' ').toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(UnnamedAndHiddenName, Publish, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "HiddenName" : "Unnamed"; });

TEST(PathBytes, NamesSurviveAsBytesAndPrintWithoutControlCharacters) {
  const QByteArray cases[] = {
      "plain.bmp", "Bild \xc3\xbc" "ber.bmp", "caf\xe9.bmp", "caf\xe8.bmp", "\xff\xfe", "\xed\xa0\x80",  // a surrogate
      "\xf0\x9f\x93\xb7.bmp",  // four bytes
      "\xf0\x9f\x93",          // cut short
  };
  QSet<QString> decoded;
  for (const QByteArray& bytes : cases) {
    EXPECT_EQ(EncodePath(DecodePath(bytes)), bytes) << bytes.toHex().constData();
    decoded.insert(DecodePath(bytes));
  }
  EXPECT_EQ(decoded.size(), int(std::size(cases))) << "different names stay different";
  EXPECT_EQ(DecodePath("Bild \xc3\xbc" "ber"), QStringLiteral("Bild über"));

  EXPECT_EQ(PrintablePath("a\nb\tc\\d\x1b[2J\x7f\xe9"), QByteArray("a\\nb\\tc\\\\d\\x1b[2J\\x7f\xe9"));
}
