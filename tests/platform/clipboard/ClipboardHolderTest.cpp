// The pieces behind a clipboard picture that outlives its program: the picture's
// way over a socket, the one-holder-per-display lock, and the start of the
// detached holder, here with stand-in holders written in sh.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "Fakes.h"
#include "TrayDriver.h"
#include "platform/clipboard/BackgroundClipboard.h"
#include "platform/clipboard/HolderLock.h"
#include "platform/clipboard/PictureStream.h"

using namespace lumora;
using namespace lumora::test;
using namespace std::chrono_literals;

namespace {

struct SocketPair {
  SocketPair() { EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fd), 0); }
  ~SocketPair() {
    for (int f : fd)
      if (f >= 0) ::close(f);
  }
  void close(int i) {
    ::close(fd[i]);
    fd[i] = -1;
  }
  int fd[2] = {-1, -1};
};

PictureStream::Clock::time_point soon(std::chrono::milliseconds ms = 10s) { return PictureStream::Clock::now() + ms; }

// A process gone or left as a zombie: either way it runs no more.
bool ended(pid_t pid) {
  if (pid <= 0) return true;  // waitpid would take any child
  ::waitpid(pid, nullptr, WNOHANG);  // ours to collect when we are the subreaper
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return true;
  const QByteArray line = stat.readAll();
  return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
}

}  // namespace

TEST(PictureStream, CarriesEveryDepthAsTheColoursItShows) {
  QImage palette(5, 3, QImage::Format_Indexed8);
  palette.setColorTable({qRgb(0, 0, 0), qRgb(128, 0, 0), qRgb(0, 255, 255)});
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) palette.setPixel(x, y, uint((x + y) % 3));
  const QImage pattern = TestPattern(301, 203);  // rows that are no multiple of 8 bytes
  for (const QImage& sent : {pattern, pattern.convertToFormat(QImage::Format_RGB16), palette,
                             pattern.convertToFormat(QImage::Format_Mono)}) {
    SocketPair s;
    QString error;
    // The writer blocks once the socket is full, so it needs a reader at the same time.
    bool wrote = false;
    std::thread writer([&] { wrote = PictureStream::Write(s.fd[0], sent, soon(), error); });
    QImage received;
    QString readError;
    const bool read = PictureStream::Read(s.fd[1], received, soon(), readError);
    writer.join();
    ASSERT_TRUE(wrote) << error.toStdString();
    ASSERT_TRUE(read) << readError.toStdString();
    EXPECT_EQ(received, sent.convertToFormat(QImage::Format_RGB32)) << sent.format();
  }
}

TEST(PictureStream, RefusesHeadersThatNameNoPictureOfOurs) {
  QByteArray wrongTag = PictureStream::Header(QSize(4, 4));
  wrongTag[0] = 'X';
  const struct {
    QByteArray header;
    QSize size;
  } cases[] = {
      {PictureStream::Header(QSize(640, 480)), QSize(640, 480)},
      {PictureStream::Header(QSize(32767, 1)), QSize(32767, 1)},
      {PictureStream::Header(QSize(32768, 1)), QSize()},
      {PictureStream::Header(QSize(1, 0)), QSize()},
      {PictureStream::Header(QSize(-1, 5)), QSize()},
      {wrongTag, QSize()},
      {PictureStream::Header(QSize(4, 4)).left(15), QSize()},
  };
  for (const auto& c : cases) EXPECT_EQ(PictureStream::ParseHeader(c.header), c.size) << c.header.toHex().constData();
}

TEST(PictureStream, AShortOrSilentStreamIsAnErrorAndAGonePeerNoSignal) {
  {
    SocketPair s;
    const QByteArray header = PictureStream::Header(QSize(100, 100));
    ASSERT_EQ(::write(s.fd[0], header.constData(), size_t(header.size())), header.size());
    ASSERT_EQ(::write(s.fd[0], "abc", 3), 3);
    s.close(0);
    QImage picture;
    QString error;
    EXPECT_FALSE(PictureStream::Read(s.fd[1], picture, soon(), error));
    EXPECT_TRUE(error.contains(QStringLiteral("vorzeitig"))) << error.toStdString();
    EXPECT_TRUE(picture.isNull());
  }
  {
    SocketPair s;  // nobody writes
    QImage picture;
    QString error;
    EXPECT_FALSE(PictureStream::Read(s.fd[1], picture, soon(50ms), error));
    EXPECT_TRUE(error.contains(QStringLiteral("Zeitüberschreitung"))) << error.toStdString();
  }
  {
    SocketPair s;
    s.close(1);
    QString error;
    // Without care this would end the test program with SIGPIPE.
    EXPECT_FALSE(PictureStream::Write(s.fd[0], TestPattern(64, 64), soon(), error));
    EXPECT_FALSE(error.isEmpty());
  }
}

TEST(HolderLock, FileNamesKeepToOneHarmlessComponent) {
  const struct {
    const char* display;
    const char* name;
  } cases[] = {
      {":0", "lumora-clipboard-_0.pid"},
      {"localhost:10.0", "lumora-clipboard-localhost_10.0.pid"},
      {"../../etc/x", "lumora-clipboard-.._.._etc_x.pid"},
      {"wayland-1", "lumora-clipboard-wayland-1.pid"},
      {":0ä", "lumora-clipboard-_0_.pid"},
  };
  for (const auto& c : cases) EXPECT_EQ(HolderLock::FileName(QString::fromUtf8(c.display)), QLatin1String(c.name));
}

TEST(HolderLock, RuntimeFolderIsXdgsOrAPrivateOneOfOurOwn) {
  QTemporaryDir base;
  const QByteArray own = QFile::encodeName(base.filePath(QStringLiteral("own")));
  ::mkdir(own.constData(), 0700);
  EXPECT_EQ(RuntimeFolder(own, base.path()), QFile::decodeName(own));
  const QByteArray open = QFile::encodeName(base.filePath(QStringLiteral("open")));
  ::mkdir(open.constData(), 0700);
  ::chmod(open.constData(), 0777);
  QList<QByteArray> unusable{QByteArray(), QByteArray("relative/dir"), open, own + "/missing"};
  const QByteArray foreign = QFile::encodeName(base.filePath(QStringLiteral("foreign")));
  ::mkdir(foreign.constData(), 0700);
  if (::chown(foreign.constData(), 65534, 65534) == 0) unusable << foreign;  // only root can give it away
  for (const QByteArray& folder : unusable) {
    const QString chosen = RuntimeFolder(folder, base.path());
    EXPECT_EQ(chosen, QStringLiteral("%1/lumora-%2").arg(base.path()).arg(::geteuid())) << folder.constData();
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(chosen).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
  }
}

TEST(HolderLock, TakesTheLockWithItsOwnIdAndRemovesTheFileWhenDone) {
  QTemporaryDir dir;
  ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
  QString path;
  {
    HolderLock lock(dir.path(), QStringLiteral(":7"), [](pid_t) { return false; });
    ASSERT_TRUE(lock.acquired()) << lock.error().toStdString();
    path = lock.path();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().trimmed().toLong(), long(::getpid()));
    EXPECT_EQ(QFileInfo(path).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup), 0);
  }
  EXPECT_FALSE(QFile::exists(path));
}

TEST(HolderLock, RefusesFoldersAndFilesOthersCouldHaveArranged) {
  QTemporaryDir dir;
  const QString base = dir.path();
  const QByteArray victim = QFile::encodeName(base + "/victim");
  QFile(base + "/victim").open(QIODevice::WriteOnly);
  ::chmod(victim.constData(), 0600);
  QDir().mkpath(base + "/real");
  ::chmod(QFile::encodeName(base + "/real").constData(), 0700);
  QDir().mkpath(base + "/open");
  ::chmod(QFile::encodeName(base + "/open").constData(), 0777);
  QDir().mkpath(base + "/foreign");
  ::chmod(QFile::encodeName(base + "/foreign").constData(), 0700);
  // As root this is a folder of someone else; as anyone else the chown fails and
  // the folder stays ours, so the case only counts where it could be made.
  const bool foreign = ::chown(QFile::encodeName(base + "/foreign").constData(), 65534, 65534) == 0;
  QFile::link(base + "/real", base + "/linked");
  QDir().mkpath(base + "/planted");
  ::chmod(QFile::encodeName(base + "/planted").constData(), 0700);
  QFile::link(base + "/victim", base + "/planted/" + HolderLock::FileName(":7"));

  const struct {
    QString folder;
    bool usable;
  } cases[] = {
      {base + "/real", true},
      {base + "/open", false},      // anyone may write there
      {base + "/linked", false},    // the folder is a symbolic link
      {base + "/planted", false},   // the lock file is a symbolic link
      {base + "/missing", false},
      {base + "/foreign", !foreign},
  };
  for (const auto& c : cases) {
    HolderLock lock(c.folder, QStringLiteral(":7"), [](pid_t) { return false; });
    EXPECT_EQ(lock.acquired(), c.usable) << c.folder.toStdString();
    EXPECT_EQ(lock.error().isEmpty(), c.usable) << lock.error().toStdString();
  }
  EXPECT_EQ(QFileInfo(base + "/victim").size(), 0) << "the link's target stays untouched";
}

TEST(HolderLock, ANewHolderEndsTheOneThatHasTheLockButNoStranger) {
  QTemporaryDir dir;
  ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
  const QByteArray path = QFile::encodeName(dir.path() + "/" + HolderLock::FileName(":7"));
  // The earlier holder: a child that takes the lock as a holder would and waits.
  auto startHolder = [&] {
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      const int fd = ::open(path.constData(), O_RDWR | O_CREAT, 0600);
      ::flock(fd, LOCK_EX);
      char pid[16];
      const int n = std::snprintf(pid, sizeof pid, "%d\n", int(::getpid()));
      [[maybe_unused]] ssize_t w = ::pwrite(fd, pid, size_t(n), 0);
      w = ::write(ready[1], "x", 1);
      for (;;) ::pause();
    }
    ::close(ready[1]);
    char byte;
    EXPECT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    return child;
  };

  const pid_t stranger = startHolder();
  {
    HolderLock lock(dir.path(), QStringLiteral(":7"), [](pid_t) { return false; }, 200ms);
    EXPECT_FALSE(lock.acquired()) << "a process that is no holder is never signalled";
    EXPECT_FALSE(lock.error().isEmpty());
  }
  EXPECT_EQ(::waitpid(stranger, nullptr, WNOHANG), 0) << "still running";
  ::kill(stranger, SIGKILL);
  ::waitpid(stranger, nullptr, 0);

  const pid_t earlier = startHolder();
  HolderLock lock(dir.path(), QStringLiteral(":7"), [&](pid_t pid) { return pid == earlier; });
  ASSERT_TRUE(lock.acquired()) << lock.error().toStdString();
  int status = 0;
  ASSERT_EQ(::waitpid(earlier, &status, 0), earlier);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
}

namespace {

// Stand-in holders: sh scripts that find the socket as file descriptor 3 and the
// test's folder as $1. Each records its process id first, so that the test can
// see it end.
class BackgroundClipboardTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Holders leave their parent behind: as the subreaper we see them end.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
  }

  BackgroundClipboard holder(const QString& script, std::chrono::milliseconds timeout = 20s) {
    return BackgroundClipboard(QStringLiteral("/bin/sh"),
                               {QStringLiteral("-c"), QStringLiteral("echo $$ > \"$0/pid\"; ") + script, dir.path()},
                               timeout);
  }
  pid_t recordedPid() {
    QFile file(dir.filePath(QStringLiteral("pid")));
    return file.open(QIODevice::ReadOnly) ? pid_t(file.readAll().trimmed().toInt()) : -1;
  }

  QTemporaryDir dir;
};

}  // namespace

TEST_F(BackgroundClipboardTest, TheHolderRunsDetachedWithTheSocketAsItsOnlyExtraFile) {
  BackgroundClipboard clipboard =
      holder(QStringLiteral("cat <&3 > \"$0/picture\"; echo OK >&3; exec sleep 60"));
  const QImage picture = TestPattern(40, 30);
  ASSERT_NO_THROW(clipboard.setImage(picture));
  const pid_t pid = clipboard.holderPid();
  ASSERT_EQ(pid, recordedPid());

  QFile received(dir.filePath(QStringLiteral("picture")));
  ASSERT_TRUE(received.open(QIODevice::ReadOnly));
  const QByteArray bytes = received.readAll();
  EXPECT_EQ(PictureStream::ParseHeader(bytes.left(16)), QSize(40, 30));
  EXPECT_EQ(bytes.size(), 16 + 40 * 30 * 4);

  // The shell juggles descriptors, and sleep's loader opens libraries, for a moment.
  QStringList open;
  WaitFor([&] {
    open.clear();
    for (const QFileInfo& fd : QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryInfoList(QDir::Files | QDir::System))
      open << fd.fileName() + " -> " + QFile::symLinkTarget(fd.filePath()).section('/', -1);
    open.sort();
    return open.size() == 4;
  });
  ASSERT_EQ(open.size(), 4) << open.join(" | ").toStdString();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(open[i], QString::number(i) + " -> null");
  EXPECT_TRUE(open[3].startsWith(QStringLiteral("3 -> socket:"))) << open[3].toStdString();

  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  ASSERT_TRUE(stat.open(QIODevice::ReadOnly));
  const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
  // After the name: state, parent, process group, session.
  EXPECT_NE(fields.at(3).toInt(), int(::getsid(0))) << "a session of its own";
  EXPECT_NE(fields.at(3).toInt(), int(pid)) << "no session leader: it can never get a terminal";
  ::kill(pid, SIGKILL);
  EXPECT_TRUE(WaitFor([&] { return ended(pid); }));
}

TEST_F(BackgroundClipboardTest, AHolderThatFailsIsReportedWithItsReasonAndEnded) {
  const struct {
    const char* script;
    std::chrono::milliseconds timeout;
    const char* reason;
  } cases[] = {
      {"cat <&3 >/dev/null; echo 'ERR keine Verbindung zur X-Anzeige :99' >&3", 20s,
       "keine Verbindung zur X-Anzeige :99"},
      {"exit 0", 20s, "der Hilfsprozess endete ohne Antwort"},
      {"exec sleep 60", 300ms, "der Hilfsprozess antwortet nicht"},
      {"cat <&3 >/dev/null; echo MAYBE >&3; exec sleep 60", 20s, "unerwartete Antwort"},
  };
  for (const auto& c : cases) {
    QFile::remove(dir.filePath(QStringLiteral("pid")));
    BackgroundClipboard clipboard = holder(QString::fromUtf8(c.script), c.timeout);
    try {
      // Large enough that a holder which never reads fills the socket.
      clipboard.setImage(TestPattern(800, 600));
      ADD_FAILURE() << "no error for: " << c.script;
    } catch (const std::runtime_error& e) {
      const QString message = QString::fromUtf8(e.what());
      EXPECT_TRUE(message.startsWith(QStringLiteral("Das Bild konnte nicht in der Zwischenablage gehalten werden")));
      EXPECT_TRUE(message.contains(QString::fromUtf8(c.reason))) << message.toStdString();
    }
    EXPECT_EQ(clipboard.holderPid(), -1);
    const pid_t pid = recordedPid();
    ASSERT_GT(pid, 0) << c.script;
    EXPECT_TRUE(WaitFor([&] { return ended(pid); }, 5000)) << "still running: " << c.script;
  }
}
