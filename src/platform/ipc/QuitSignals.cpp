#include "platform/ipc/QuitSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace lumora {

namespace {

// The write end for the signal handler: a handler may only write to a file
// descriptor, so this one value is all it can see.
int gSignalFd = -1;  // NOLINT: set once by the one QuitSignals object

void onSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(gSignalFd, &byte, 1);
}

}  // namespace

QuitSignals::QuitSignals(std::function<void()> onQuit) : onQuit_(std::move(onQuit)) {
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return;
  gSignalFd = fds[0];
  notifier_ = new QSocketNotifier(fds[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this, fd = fds[1]] {
    char byte;
    [[maybe_unused]] const ssize_t n = ::read(fd, &byte, 1);
    if (onQuit_) onQuit_();
  });
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

QuitSignals::~QuitSignals() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGHUP, SIG_DFL);
  if (notifier_) ::close(int(notifier_->socket()));
  if (gSignalFd >= 0) ::close(gSignalFd);
  gSignalFd = -1;
}

}  // namespace lumora
