#include "platform/ipc/SocketIo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lumora::SocketIo {

namespace {

// Waits until `fd` is ready for `events`; false when the deadline passed first.
bool waitReady(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, int(std::min<long long>(left, 60000)));
    if (n > 0) return true;
    if (n < 0 && errno != EINTR) return true;  // the read or write that follows reports it
  }
}

}  // namespace

bool WriteAll(int fd, const char* data, size_t size, Clock::time_point deadline, QString& error) {
  while (size > 0) {
    if (!waitReady(fd, POLLOUT, deadline)) {
      error = QStringLiteral("Zeitüberschreitung beim Übergeben des Bildes");
      return false;
    }
    const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      error = QStringLiteral("Übergabe des Bildes abgebrochen (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
      return false;
    }
    data += n;
    size -= size_t(n);
  }
  return true;
}

bool ReadAll(int fd, char* data, size_t size, Clock::time_point deadline, QString& error) {
  while (size > 0) {
    if (!waitReady(fd, POLLIN, deadline)) {
      error = QStringLiteral("Zeitüberschreitung beim Empfangen");
      return false;
    }
    const ssize_t n = ::recv(fd, data, size, MSG_DONTWAIT);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) {
      error = n == 0 ? QStringLiteral("Datenstrom vorzeitig zu Ende")
                     : QString::fromLocal8Bit(std::strerror(errno));
      return false;
    }
    data += n;
    size -= size_t(n);
  }
  return true;
}

Line ReadLine(int fd, Clock::time_point deadline, QByteArray& line) {
  for (;;) {
    if (!waitReady(fd, POLLIN, deadline)) return Line::TimedOut;
    char buf[256];
    const ssize_t n = ::recv(fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return line.isEmpty() ? Line::Closed : Line::Read;
    line.append(buf, int(n));
    const qsizetype end = line.indexOf('\n');
    if (end >= 0 || line.size() > 4096) {
      if (end >= 0) line.truncate(end);
      return Line::Read;
    }
  }
}

}  // namespace lumora::SocketIo
