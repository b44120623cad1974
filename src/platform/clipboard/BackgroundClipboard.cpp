#include "platform/clipboard/BackgroundClipboard.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/clipboard/PictureStream.h"

extern char** environ;

namespace lumora {

namespace {

[[noreturn]] void fail(QString reason) {
  if (!reason.endsWith(QLatin1Char('.'))) reason += QLatin1Char('.');
  throw std::runtime_error(
      QStringLiteral("Das Bild konnte nicht in der Zwischenablage gehalten werden: %1").arg(reason).toStdString());
}

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

// Runs in the forked child of a program that may have other threads: only calls
// that are safe after fork() until exec.
[[noreturn]] void startHolder(int socket, const char* program, char* const* argv) {
  ::setsid();  // no terminal, no job control: the holder outlives a closed terminal
  const pid_t holder = ::fork();
  if (holder != 0) {
    // The middle process reports the holder's id and leaves, so the holder is
    // nobody's child here and needs no one to wait for it.
    [[maybe_unused]] const ssize_t n = ::write(socket, &holder, sizeof holder);
    ::_exit(holder > 0 ? 0 : 1);
  }
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  for (int sig : {SIGPIPE, SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGCHLD}) ::sigaction(sig, &dfl, nullptr);
  sigset_t none;
  ::sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  const int null = ::open("/dev/null", O_RDWR);
  if (null < 0) ::_exit(127);
  ::dup2(null, 0);
  ::dup2(null, 1);
  ::dup2(null, 2);
  ::dup2(socket, BackgroundClipboard::kHolderFd);  // the copy keeps no close-on-exec flag
  ::close_range(BackgroundClipboard::kHolderFd + 1, ~0U, 0);
  ::execve(program, argv, environ);
  ::_exit(127);
}

// This program by its own name, so that the holder is called "lumora" in the
// process list; /proc/self/exe when the file was replaced since it started.
QString thisProgram() {
  const QString path = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
  return !path.isEmpty() && QFile::exists(path) ? path : QStringLiteral("/proc/self/exe");
}

// A holder that did not answer in time, or answered nonsense, is taken to be
// still running and of no use: it must not stay.
[[noreturn]] void endHolder(pid_t holder, const QString& reason) {
  ::kill(holder, SIGKILL);
  fail(reason);
}

}  // namespace

BackgroundClipboard::BackgroundClipboard(QString program, QStringList arguments, std::chrono::milliseconds timeout)
    : program_(std::move(program)), arguments_(std::move(arguments)), timeout_(timeout) {}

void BackgroundClipboard::setImage(const QImage& image) {
  using PictureStream::Clock;
  const auto deadline = Clock::now() + timeout_;
  holderPid_ = -1;

  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) fail(QString::fromLocal8Bit(std::strerror(errno)));
  Fd ours(pair[0]);
  Fd theirs(pair[1]);
  // Above the numbers the holder's end is moved to: a program started with its
  // standard streams closed gets low numbers here, which the child would overwrite,
  // and dup2 onto the same number would keep the close-on-exec flag.
  if (theirs.get() <= kHolderFd) theirs.reset(::fcntl(theirs.get(), F_DUPFD_CLOEXEC, kHolderFd + 1));
  if (theirs.get() < 0) fail(QString::fromLocal8Bit(std::strerror(errno)));

  // Everything the child needs is made before fork(): it may not allocate.
  const QByteArray program = QFile::encodeName(program_.isEmpty() ? thisProgram() : program_);
  std::vector<QByteArray> args{QByteArray("lumora")};
  for (const QString& a : arguments_) args.push_back(a.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t middle = ::fork();
  if (middle < 0) fail(QString::fromLocal8Bit(std::strerror(errno)));
  if (middle == 0) startHolder(theirs.get(), program.constData(), argv.data());
  theirs.reset();
  int status = 0;
  while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }

  QString error;
  pid_t holder = -1;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      !SocketIo::ReadAll(ours.get(), reinterpret_cast<char*>(&holder), sizeof holder, deadline, error) ||
      holder <= 0)
    fail(QStringLiteral("der Hilfsprozess ließ sich nicht starten"));

  const bool sent = PictureStream::Write(ours.get(), image, deadline, error);
  ::shutdown(ours.get(), SHUT_WR);
  // A holder that gives up early says why before it goes; its answer tells more
  // than the broken connection.
  QByteArray answer;
  switch (SocketIo::ReadLine(ours.get(), deadline, answer)) {
    case SocketIo::Line::Read:
      break;
    case SocketIo::Line::Closed:
      fail(QStringLiteral("der Hilfsprozess endete ohne Antwort"));
    case SocketIo::Line::TimedOut:
      endHolder(holder, QStringLiteral("der Hilfsprozess antwortet nicht"));
  }
  // A holder that reports a failure leaves by itself.
  if (answer.startsWith("ERR ")) fail(QString::fromUtf8(answer.mid(4)));
  if (answer != "OK") endHolder(holder, QStringLiteral("unerwartete Antwort"));
  if (!sent) endHolder(holder, error);
  holderPid_ = holder;
}

}  // namespace lumora
