#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <future>
#include <sys/stat.h>

#include "Unprivileged.h"
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
    ASSERT_TRUE(instance.listen([&](const QByteArray& command) -> std::function<void()> {
      if (command != "show" && command != "quit") return {};
      return [&ran, command] { ran << QString::fromLatin1(command); };
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
  ASSERT_TRUE(instance.listen([](const QByteArray&) { return [] {}; }));
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
