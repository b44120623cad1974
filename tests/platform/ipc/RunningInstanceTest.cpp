#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <future>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include "Unprivileged.h"
#include "platform/clipboard/HolderLock.h"
#include "platform/fs/RuntimeFolder.h"
#include "platform/ipc/RunningInstance.h"

using namespace lumora;

namespace {

// A runtime folder of the test's own, as XDG_RUNTIME_DIR.
struct Runtime {
  Runtime() : old(qgetenv("XDG_RUNTIME_DIR")) {
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
  }
  ~Runtime() { qputenv("XDG_RUNTIME_DIR", old); }
  QTemporaryDir dir;
  QByteArray old;
};

// Sends from another thread while this one runs the event loop that answers.
RunningInstance::SendResult SendWhileServing(const QString& key, const QByteArray& command) {
  auto sent = std::async(std::launch::async, [&] { return RunningInstance::Send(key, command, 3000); });
  QElapsedTimer t;
  t.start();
  while (sent.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready && t.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return sent.get();
}

}  // namespace

TEST(RunningInstance, TakesKnownCommandsOnlyAndRunsThemAfterAnswering) {
  Runtime runtime;
  EXPECT_EQ(RunningInstance::Send("local-77", "show"), RunningInstance::SendResult::NotRunning);
  QStringList ran;
  {
    RunningInstance instance("local-77");
    ASSERT_TRUE(instance.acquired());
    ASSERT_TRUE(instance.listen([&](const QByteArray& command) -> RunningInstance::Action {
      if (command != "show" && command != "quit") return {};
      return [&ran, command](const RunningInstance::Reply& reply) {
        reply.done(RunningInstance::Outcome::Done);
        ran << QString::fromLatin1(command);
      };
    }));
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(instance.socketPath()).constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u) << "the socket is the user's alone";

    EXPECT_EQ(SendWhileServing("local-77", "show"), RunningInstance::SendResult::Taken);
    EXPECT_EQ(SendWhileServing("local-77", "format-disk"), RunningInstance::SendResult::Refused);
    EXPECT_TRUE(RunningInstance::Listening("local-77"));
    EXPECT_FALSE(RunningInstance::Listening("local-78")) << "another display's program is another program";
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, QStringList{"show"});

    // A second program on the same display does not get the lock.
    RunningInstance second("local-77");
    EXPECT_TRUE(second.heldElsewhere());
  }
  EXPECT_FALSE(RunningInstance::Listening("local-77")) << "the socket goes with the program";
}

TEST(RunningInstance, ASocketLeftByAProgramThatDiedIsReplaced) {
  Runtime runtime;
  const QString stale = runtime.dir.filePath(RunningInstance::SocketName("local-9"));
  ASSERT_TRUE(QFile(stale).open(QIODevice::WriteOnly));
  RunningInstance instance("local-9");
  ASSERT_TRUE(instance.listen([](const QByteArray&) -> RunningInstance::Action {
    return [](const RunningInstance::Reply& reply) { reply.done(RunningInstance::Outcome::Done); };
  }));
  EXPECT_EQ(SendWhileServing("local-9", "show"), RunningInstance::SendResult::Taken);
}

TEST(RunningInstance, TheSessionIsTheDisplayServer) {
  const QByteArray display = qgetenv("DISPLAY"), wayland = qgetenv("WAYLAND_DISPLAY");
  qputenv("DISPLAY", "unix:3.0");
  EXPECT_EQ(RunningInstance::SessionKey(), QStringLiteral("local-3"));
  qunsetenv("DISPLAY");
  qputenv("WAYLAND_DISPLAY", "wayland-1");
  EXPECT_EQ(RunningInstance::SessionKey(), QStringLiteral("wayland-wayland-1"));
  qunsetenv("WAYLAND_DISPLAY");
  EXPECT_TRUE(RunningInstance::SessionKey().isEmpty());
  if (!display.isEmpty()) qputenv("DISPLAY", display);
  if (!wayland.isEmpty()) qputenv("WAYLAND_DISPLAY", wayland);
}

namespace {

// Runs this thread's event loop until `done` holds, for at most ten seconds.
bool ServeUntil(const std::function<bool()>& done) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

}  // namespace

TEST(RunningInstance, ACommandIsAnsweredOnceItsWorkIsDoneAndACallerThatLeftIsNoticed) {
  Runtime runtime;
  RunningInstance instance("local-79");
  std::vector<RunningInstance::Reply> held;
  ASSERT_TRUE(instance.listen([&](const QByteArray&) -> RunningInstance::Action {
    return [&held](const RunningInstance::Reply& reply) { held.push_back(reply); };
  }));
  using Outcome = RunningInstance::Outcome;
  using Result = RunningInstance::SendResult;
  const std::pair<Outcome, Result> cases[] = {
      {Outcome::Done, Result::Taken}, {Outcome::Failed, Result::Failed}, {Outcome::Busy, Result::Busy}};
  for (const auto& [outcome, result] : cases) {
    held.clear();
    auto sent = std::async(std::launch::async, [] { return RunningInstance::Send("local-79", "shot", 10000); });
    ASSERT_TRUE(ServeUntil([&] { return !held.empty(); }));
    EXPECT_EQ(sent.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout) << "no answer before the work";
    EXPECT_TRUE(held.front().waiting());
    held.front().done(outcome);
    ASSERT_TRUE(ServeUntil([&] { return sent.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }));
    EXPECT_EQ(sent.get(), result);
  }

  // A caller that stops waiting: the work may learn that it is no longer wanted.
  held.clear();
  auto impatient = std::async(std::launch::async, [] { return RunningInstance::Send("local-79", "shot", 300); });
  ASSERT_TRUE(ServeUntil([&] { return impatient.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }));
  EXPECT_EQ(impatient.get(), Result::Refused);
  ASSERT_EQ(held.size(), 1u);
  EXPECT_FALSE(held.front().waiting());
  held.front().done(Outcome::Done);
}

namespace {

// Another user's program listening on `path`: it answers "ok" to anything, as a
// program that wants the first user's commands would. Ends with the object.
class ForeignListener {
 public:
  ForeignListener(const QString& path, uid_t uid) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      if (::setgroups(0, nullptr) != 0 || ::setgid(uid) != 0 || ::setuid(uid) != 0) ::_exit(99);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      const QByteArray name = QFile::encodeName(path);
      std::memcpy(address.sun_path, name.constData(), size_t(std::min<qsizetype>(name.size(), 100)));
      const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
      ::unlink(address.sun_path);
      const mode_t mask = ::umask(0);
      const bool listening =
          ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd, 8) == 0;
      ::umask(mask);
      [[maybe_unused]] const ssize_t said = ::write(ready[1], listening ? "1" : "0", 1);
      for (;;) {
        const int c = ::accept(fd, nullptr, nullptr);
        char line[64];
        if (c >= 0 && ::read(c, line, sizeof line) > 0) {
          [[maybe_unused]] const ssize_t n = ::write(c, "ok\n", 3);
        }
        ::close(c);
      }
    }
    ::close(ready[1]);
    char said = '0';
    listening_ = pid_ > 0 && ::read(ready[0], &said, 1) == 1 && said == '1';
    ::close(ready[0]);
  }
  ~ForeignListener() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  bool listening() const { return listening_; }

 private:
  pid_t pid_ = -1;
  bool listening_ = false;
};

}  // namespace

TEST(RunningInstance, AFolderOrListenerOfAnotherUserIsNeverUsed) {
  // Two users: a second local user runs the program; "nobody" is the other user,
  // who made the shared runtime folder's name in /tmp first, without
  // XDG_RUNTIME_DIR to keep the two apart.
  if (::geteuid() != 0) GTEST_SKIP() << "acting as two users needs root";
  uid_t uid = 0;
  gid_t gid = 0;
  QString error;
  ASSERT_TRUE(test::EnsureUser("lumora-test", uid, gid, error)) << error.toStdString();
  const QString shared = QStringLiteral("/tmp/lumora-%1").arg(uid);
  const QByteArray sharedName = QFile::encodeName(shared);
  const QString key = QStringLiteral("local-4242");
  QTemporaryDir dir;
  ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
  const QString home = dir.filePath("home");
  const QString own = home + "/.cache/lumora";
  ASSERT_TRUE(QDir().mkpath(own));
  for (const QString& d : {home, home + "/.cache", own}) ::chown(QFile::encodeName(d).constData(), uid, gid);
  ::chmod(QFile::encodeName(own).constData(), 0700);
  const QString elsewhere = dir.filePath("theirs");
  ASSERT_TRUE(QDir().mkpath(elsewhere));
  ::chown(QFile::encodeName(elsewhere).constData(), test::kNobody, test::kNobody);
  ::chmod(QFile::encodeName(elsewhere).constData(), 0777);
  enum class Planted { Folder, Link, Pipe, File };
  for (const Planted planted : {Planted::Folder, Planted::Link, Planted::Pipe, Planted::File}) {
    SCOPED_TRACE(int(planted));
    QDir(shared).removeRecursively();
    ::unlink(sharedName.constData());
    std::unique_ptr<ForeignListener> theirs;
    switch (planted) {
      case Planted::Folder:
        ASSERT_EQ(::mkdir(sharedName.constData(), 0777), 0);
        ::chmod(sharedName.constData(), 0777);
        theirs = std::make_unique<ForeignListener>(shared + "/" + RunningInstance::SocketName(key), test::kNobody);
        break;
      case Planted::Link:
        ASSERT_EQ(::symlink(QFile::encodeName(elsewhere).constData(), sharedName.constData()), 0);
        theirs = std::make_unique<ForeignListener>(elsewhere + "/" + RunningInstance::SocketName(key), test::kNobody);
        break;
      case Planted::Pipe:
        ASSERT_EQ(::mkfifo(sharedName.constData(), 0666), 0);
        break;
      case Planted::File:
        ASSERT_TRUE(QFile(shared).open(QIODevice::WriteOnly));
        break;
    }
    ::lchown(sharedName.constData(), test::kNobody, test::kNobody);
    if (theirs) ASSERT_TRUE(theirs->listening());
    // Even in the user's own folder a listener that is not the user's is not
    // spoken to (root may put one anywhere).
    ForeignListener inOwnFolder(own + "/" + RunningInstance::SocketName(key), 0);
    ASSERT_TRUE(inOwnFolder.listening());

    const int result = test::RunAs(uid, gid, [&] {
      qunsetenv("XDG_RUNTIME_DIR");
      qputenv("HOME", QFile::encodeName(home));
      // Nothing of the user's runs yet: a command reaches no one.
      if (RunningInstance::Listening(key)) return 1;
      if (RunningInstance::Send(key, "shot", 2000) != RunningInstance::SendResult::NotRunning) return 2;
      // The user's own program finds a place of its own and hears the user.
      RunningInstance program(key);
      if (!program.acquired()) return 3;
      bool heard = false;
      if (!program.listen([&](const QByteArray&) -> RunningInstance::Action {
            return [&heard](const RunningInstance::Reply& reply) {
              heard = true;
              reply.done(RunningInstance::Outcome::Done);
            };
          }))
        return 4;
      if (QFileInfo(program.socketPath()).absolutePath() != own) return 3;
      if (SendWhileServing(key, "show") != RunningInstance::SendResult::Taken || !heard) return 5;
      // The clipboard holder keeps its lock in a folder of the user's own, too.
      if (PrivateRuntimeFolder() != own) return 6;
      HolderLock holder(PrivateRuntimeFolder(), ":4242", [](pid_t) { return false; });
      return holder.acquired() ? 0 : 7;
    });
    EXPECT_EQ(result, 0);
  }
  QDir(shared).removeRecursively();
  ::unlink(sharedName.constData());
}
