#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstddef>

namespace lumora {

// Whole messages over a local socket with a deadline, for the program's two
// sockets (the running instance's commands and the clipboard holder's picture).
// Never raises SIGPIPE.
namespace SocketIo {

using Clock = std::chrono::steady_clock;

// False with the reason in `error` when the peer went away or `deadline` passed.
bool WriteAll(int fd, const char* data, size_t size, Clock::time_point deadline, QString& error);
bool ReadAll(int fd, char* data, size_t size, Clock::time_point deadline, QString& error);
// One line of answer into `line`, without its line break.
enum class Line { Read, Closed, TimedOut };
Line ReadLine(int fd, Clock::time_point deadline, QByteArray& line);

}  // namespace SocketIo

}  // namespace lumora
