#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <chrono>

#include "platform/ipc/SocketIo.h"

namespace lumora {

// A picture on its way between two processes of the program over a socket: a
// 16-byte header (tag, width, height) and then the rows of 32-bit pixels, top row
// first. Reading checks every field, so a short or garbled stream gives an error
// and never a huge allocation.
namespace PictureStream {

using Clock = SocketIo::Clock;

// The largest side a picture may have on the way; X11 screens stay below it.
constexpr int kMaxSide = 32767;

// The header for a picture of this size.
QByteArray Header(QSize size);
// The size named by a header; an invalid size when the header is not one of ours
// or names a side of 0 or more than kMaxSide.
QSize ParseHeader(const QByteArray& header);

// Sends the picture (as the true colours it shows) to `fd`; never raises SIGPIPE.
// False with the reason in `error` when the peer went away or `deadline` passed.
bool Write(int fd, const QImage& picture, Clock::time_point deadline, QString& error);
// Reads one picture from `fd`; false with the reason in `error`.
bool Read(int fd, QImage& picture, Clock::time_point deadline, QString& error);

}  // namespace PictureStream

}  // namespace lumora
