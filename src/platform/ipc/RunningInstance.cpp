#include "platform/ipc/RunningInstance.h"

#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/ipc/SocketIo.h"
#include "platform/fs/RuntimeFolder.h"

namespace lumora {

namespace {

constexpr int kMaxCommand = 64;

bool socketAddress(const QString& path, sockaddr_un& address) {
  const QByteArray bytes = QFile::encodeName(path);
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (size_t(bytes.size()) >= sizeof address.sun_path) return false;  // too long for a socket name
  std::memcpy(address.sun_path, bytes.constData(), size_t(bytes.size()));
  return true;
}

// Only the user who runs the program may command it, and only the user's own
// program hears the user's commands.
bool sameUser(int fd) {
  ucred peer{};
  socklen_t length = sizeof peer;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::geteuid();
}

// One connection to the running program: a command line comes in, one answer
// line goes out when the command has done its work, and the connection closes.
// A client that says nothing is dropped after a while.
class Connection : public QObject {
 public:
  Connection(int fd, RunningInstance::Handler& onCommand, QObject* parent)
      : QObject(parent), fd_(fd), onCommand_(onCommand), notifier_(fd, QSocketNotifier::Read, this) {
    connect(&notifier_, &QSocketNotifier::activated, this, [this] { read(); });
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, [this] { close(); });
    idle_.start(2000);
  }
  ~Connection() override { ::close(fd_); }

 private:
  void read() {
    char buffer[kMaxCommand];
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n <= 0) return close();
    line_.append(buffer, int(n));
    const qsizetype end = line_.indexOf('\n');
    if (end < 0 && line_.size() < kMaxCommand) return;
    notifier_.setEnabled(false);
    idle_.stop();
    const QByteArray command = line_.left(end < 0 ? kMaxCommand : end).trimmed();
    RunningInstance::Action action = onCommand_ ? onCommand_(command) : RunningInstance::Action();
    if (!action) return answer(QByteArrayLiteral("unknown\n"));
    // The command runs from the event loop: it may open dialogs or end the
    // program. It answers when it is done, which for a capture that has to wait
    // for another one may be a while.
    QPointer<Connection> self(this);
    RunningInstance::Reply reply{[self](RunningInstance::Outcome outcome) {
                                   if (self) self->answer(AnswerLine(outcome));
                                 },
                                 [self] { return self && self->callerWaiting(); }};
    QTimer::singleShot(0, parent(), [action = std::move(action), reply = std::move(reply)] { action(reply); });
  }

  static QByteArray AnswerLine(RunningInstance::Outcome outcome) {
    switch (outcome) {
      case RunningInstance::Outcome::Done: return QByteArrayLiteral("ok\n");
      case RunningInstance::Outcome::Failed: return QByteArrayLiteral("failed\n");
      case RunningInstance::Outcome::Busy: return QByteArrayLiteral("busy\n");
    }
    return QByteArrayLiteral("failed\n");
  }

  void answer(const QByteArray& line) {
    if (answered_) return;
    answered_ = true;
    [[maybe_unused]] const ssize_t sent = ::send(fd_, line.constData(), size_t(line.size()), MSG_NOSIGNAL);
    close();
  }

  // A caller that gave up has closed its end: nothing more to read, ever.
  bool callerWaiting() const {
    char c;
    const ssize_t n = ::recv(fd_, &c, 1, MSG_PEEK | MSG_DONTWAIT);
    return n > 0 || (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR));
  }

  void close() {
    notifier_.setEnabled(false);
    idle_.stop();
    deleteLater();
  }

  int fd_;
  RunningInstance::Handler& onCommand_;
  QSocketNotifier notifier_;
  QTimer idle_;
  QByteArray line_;
  bool answered_ = false;
};

}  // namespace

QString RunningInstance::SessionKey(bool wayland) {
  const QString display = qEnvironmentVariable("DISPLAY");
  if (!wayland && !display.isEmpty()) {
    const QString key = InstanceLock::ServerKey(display);
    return key.isEmpty() ? QStringLiteral("x-") + QString::fromLatin1(display.toUtf8().toHex()) : key;
  }
  QString socket = qEnvironmentVariable("WAYLAND_DISPLAY");
  if (socket.isEmpty() && !wayland) return QString();
  if (socket.isEmpty()) socket = QStringLiteral("wayland-0");
  socket.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
  return QStringLiteral("wayland-") + socket;
}

RunningInstance::RunningInstance(const QString& key) : lock_(key) {}

RunningInstance::~RunningInstance() {
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    ::unlink(QFile::encodeName(socketPath_).constData());
  }
}

bool RunningInstance::listen(Handler onCommand) {
  if (!lock_.acquired()) return false;
  onCommand_ = std::move(onCommand);
  socketPath_ = lock_.folder() + QLatin1Char('/') + SocketName(lock_.key());
  sockaddr_un address{};
  if (!socketAddress(socketPath_, address)) return false;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  // A socket left by a program that died: the lock is ours, so nobody listens there.
  ::unlink(address.sun_path);
  const mode_t mask = ::umask(0077);
  const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::umask(mask);
  if (!bound || ::listen(fd, 8) != 0) {
    ::close(fd);
    return false;
  }
  listenFd_ = fd;
  auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this] { accept(); });
  return true;
}

void RunningInstance::accept() {
  for (;;) {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    if (!sameUser(fd)) {
      ::close(fd);
      continue;
    }
    new Connection(fd, onCommand_, this);
  }
}

namespace {

// A connection to the running program for `key`, or -1. It listens in the first
// of these folders it could use. A folder another user made under the shared
// name, or a socket another user listens on, is never used: a command there
// would reach someone else's program.
int connectTo(const QString& key) {
  for (const QString& folder : RuntimeFolders()) {
    if (!PrivateFolder(folder)) continue;
    sockaddr_un address{};
    if (!socketAddress(folder + QLatin1Char('/') + RunningInstance::SocketName(key), address)) continue;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 && sameUser(fd)) return fd;
    ::close(fd);
  }
  return -1;
}

}  // namespace

bool RunningInstance::Listening(const QString& key) {
  const int fd = connectTo(key);
  if (fd >= 0) ::close(fd);
  return fd >= 0;
}

RunningInstance::SendResult RunningInstance::Send(const QString& key, const QByteArray& command, int timeoutMs) {
  const int fd = connectTo(key);
  if (fd < 0) return SendResult::NotRunning;
  const auto deadline = SocketIo::Clock::now() + std::chrono::milliseconds(timeoutMs);
  const QByteArray line = command + '\n';
  QString error;
  QByteArray answer;
  const bool answered = SocketIo::WriteAll(fd, line.constData(), size_t(line.size()), deadline, error) &&
                        SocketIo::ReadLine(fd, deadline, answer) == SocketIo::Line::Read;
  ::close(fd);
  if (!answered) return SendResult::Refused;
  if (answer == "ok") return SendResult::Taken;
  if (answer == "failed") return SendResult::Failed;
  if (answer == "busy") return SendResult::Busy;
  return SendResult::Refused;
}

}  // namespace lumora
