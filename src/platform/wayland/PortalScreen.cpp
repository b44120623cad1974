#include "platform/wayland/PortalScreen.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QFile>
#include <QImageReader>
#include <QMap>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>
#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "platform/wayland/PortalRequest.h"

namespace lumora {

namespace {

const QString kService = PortalService();
const QString kPath = PortalPath();

timespec now() {
  timespec t{};
  clock_gettime(CLOCK_REALTIME, &t);
  return t;
}

// A picture file is the portal's answer to this request when it is still the file
// we read and was written after we asked; anything older belongs to someone else
// and stays.
bool madeForRequest(const QString& path, const struct stat& read, const timespec& asked) {
  struct stat st {};
  if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || st.st_dev != read.st_dev || st.st_ino != read.st_ino)
    return false;
  // File times come from a coarse clock that may lag the fine one by a tick.
  const int64_t slackNs = 50'000'000;
  const int64_t written = int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
  const int64_t start = int64_t(asked.tv_sec) * 1'000'000'000 + asked.tv_nsec;
  return written >= start - slackNs;
}

// Opens the portal's picture only when it is ours alone: a plain file, not reached
// through a link, owned by this user and writable by nobody else. Some portals
// write to a fixed name in a shared folder, where another user may have put a
// file of their own first. -1 with `error` set otherwise; nothing is read then.
int openOwnPicture(const QString& path, struct stat& st, QString& error) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int e = errno;
    error = e == ELOOP ? QStringLiteral("the desktop portal's picture %1 is a symbolic link; Lumora does not follow it")
                             .arg(path)
                       : QStringLiteral("the desktop portal's picture %1 could not be opened (%2)")
                             .arg(path, QString::fromLocal8Bit(std::strerror(e)));
    return -1;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    error = QStringLiteral("the desktop portal's picture %1 is not a plain file; Lumora does not read it").arg(path);
  else if (st.st_uid != ::geteuid())
    error = QStringLiteral("the desktop portal's picture %1 belongs to another user (uid %2); Lumora does not read it")
                .arg(path)
                .arg(st.st_uid);
  else if (st.st_mode & (S_IWGRP | S_IWOTH))
    error = QStringLiteral("the desktop portal's picture %1 may be changed by other users (mode %2); Lumora does not "
                           "read it")
                .arg(path)
                .arg(st.st_mode & 07777, 4, 8, QLatin1Char('0'));
  else
    return fd;
  ::close(fd);
  return -1;
}

}  // namespace

// Receives the request's Response signal; QtDBus delivers signals to slots only.
class PortalResponse : public QObject {
  Q_OBJECT
 public:
  bool arrived = false;
  uint code = 2;
  QVariantMap results;
  QEventLoop* loop = nullptr;

 public Q_SLOTS:
  void onResponse(uint response, const QVariantMap& answer) {
    arrived = true;
    code = response;
    results = answer;
    if (loop) loop->quit();
  }
};

PortalScreen::PortalScreen(QDBusConnection bus, DesktopSource desktop, std::chrono::milliseconds timeout,
                           std::chrono::milliseconds patience)
    : bus_(std::move(bus)), desktop_(std::move(desktop)), timeout_(timeout), patience_(patience) {}

bool PortalScreen::screenshotsDenied() const {
  // The portal keeps the person's answer in its permission store: table
  // "screenshot", entry "screenshot", "" for programs outside a sandbox.
  const QString store = QStringLiteral("org.freedesktop.impl.portal.PermissionStore");
  QDBusMessage lookup = QDBusMessage::createMethodCall(store, QStringLiteral("/org/freedesktop/impl/portal/PermissionStore"),
                                                       store, QStringLiteral("Lookup"));
  lookup << QStringLiteral("screenshot") << QStringLiteral("screenshot");
  // Asked through the event loop, as the portal is: a store in this very thread
  // (a stand-in) must be able to answer.
  QDBusPendingCallWatcher watcher(bus_.asyncCall(lookup, 2000));
  QEventLoop loop;
  QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
  if (!watcher.isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  const QDBusMessage reply = watcher.reply();
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
  const auto permissions = qdbus_cast<QMap<QString, QStringList>>(reply.arguments().at(0));
  return permissions.value(QString()).contains(QLatin1String("no"));
}

PortalScreen::~PortalScreen() = default;

QSize PortalScreen::size() const {
  if (desktop_) {
    const Desktop d = desktop_();
    if (!d.primary.isEmpty())
      return QSize(int(std::lround(d.primary.width() * d.scale)), int(std::lround(d.primary.height() * d.scale)));
  }
  return lastPicture_;
}

std::vector<QRect> PortalScreen::monitors() const {
  const Desktop d = desktop_ ? desktop_() : Desktop{};
  if (d.primary.isEmpty() || d.all.isEmpty()) return Screen::monitors();
  auto pixels = [&](const QRect& r) {
    const QPoint at = r.topLeft() - d.primary.topLeft();
    return QRect(int(std::lround(at.x() * d.scale)), int(std::lround(at.y() * d.scale)),
                 int(std::lround(r.width() * d.scale)), int(std::lround(r.height() * d.scale)));
  };
  return {pixels(d.primary), pixels(d.all)};
}

QRect PortalScreen::primaryIn(QSize picture) const {
  const Desktop d = desktop_ ? desktop_() : Desktop{};
  if (d.primary.isEmpty() || d.all.isEmpty()) return QRect(QPoint(0, 0), picture);
  // The picture spans every output at one density; the primary is a part of it.
  const double s = double(picture.width()) / d.all.width();
  const QPoint at = d.primary.topLeft() - d.all.topLeft();
  return QRect(int(std::lround(at.x() * s)), int(std::lround(at.y() * s)), int(std::lround(d.primary.width() * s)),
               int(std::lround(d.primary.height() * s)));
}

QImage PortalScreen::takePicture(QString& error) {
  error.clear();
  refused_ = false;
  if (!bus_.isConnected()) {
    error = QStringLiteral("no session bus: the desktop portal, which takes screenshots on Wayland, cannot be reached");
    return QImage();
  }
  const QString token = QStringLiteral("lumora_%1_%2").arg(::getpid()).arg(++requests_);
  QString path = PortalRequestPath(bus_, token);

  QEventLoop loop;
  PortalResponse response;
  response.loop = &loop;
  const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
  const char* slot = SLOT(onResponse(uint, QVariantMap));
  bus_.connect(QString(), path, requestInterface, QStringLiteral("Response"), &response, slot);

  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
                                                     QStringLiteral("Screenshot"));
  call << QString() << QVariantMap{{QStringLiteral("interactive"), false}, {QStringLiteral("handle_token"), token}};
  const timespec asked = now();
  QDBusPendingCallWatcher watcher(bus_.asyncCall(call, int(timeout_.count())));
  QString callError;
  QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, [&] {
    QDBusPendingReply<QDBusObjectPath> reply = watcher;
    if (reply.isError()) {
      callError = reply.error().message();
      loop.quit();
      return;
    }
    // Portals older than the token convention answer on a path of their own.
    const QString handle = reply.value().path();
    if (handle != path && !response.arrived) {
      bus_.connect(QString(), handle, requestInterface, QStringLiteral("Response"), &response, slot);
      bus_.disconnect(QString(), path, requestInterface, QStringLiteral("Response"), &response, slot);
      path = handle;
    }
  });
  QTimer::singleShot(timeout_, &loop, &QEventLoop::quit);
  QTimer::singleShot(patience_, &loop, [&] {
    if (!response.arrived && callError.isEmpty() && onWaiting)
      onWaiting(QStringLiteral("waiting for the desktop: it may be asking on the screen whether Lumora may take "
                               "screenshots (answer its dialog)"));
  });
  // The process stays on the bus until the answer: a caller that leaves gets its
  // request closed unanswered. The person may take a while, so the program's
  // windows and menus go on answering meanwhile; its commands keep their guard.
  if (!response.arrived) loop.exec();
  bus_.disconnect(QString(), path, requestInterface, QStringLiteral("Response"), &response, slot);

  if (!response.arrived) {
    if (!callError.isEmpty())
      error = QStringLiteral("the desktop portal is not available for screenshots (%1)").arg(callError);
    else
      error = QStringLiteral("the desktop portal gave no answer within %1; a dialog of the desktop asking whether "
                             "Lumora may take screenshots may still be open")
                  .arg(timeout_.count() % 60000 == 0 ? QStringLiteral("%1 minutes").arg(timeout_.count() / 60000)
                                                     : QStringLiteral("%1 seconds").arg(double(timeout_.count()) / 1000.0));
    return QImage();
  }
  if (response.code == 1) {
    // Meant for "cancelled by the person"; KDE's portal gives it for every failure
    // too, and Lumora asks for no dialog that could be cancelled.
    error = QStringLiteral("the desktop portal took no screenshot: it was cancelled on the screen, or the desktop "
                           "could not take it (some desktops, KDE among them, answer both alike)");
    return QImage();
  }
  if (response.code != 0) {
    refused_ = screenshotsDenied();
    if (refused_)
      error = QStringLiteral(
          "the desktop refused: screenshots were denied when it asked, and it keeps that answer; to allow them again: "
          "gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore --object-path "
          "/org/freedesktop/impl/portal/PermissionStore --method "
          "org.freedesktop.impl.portal.PermissionStore.SetPermission screenshot true screenshot '' \"['yes']\"");
    else
      error = QStringLiteral("the desktop portal did not take the screenshot: the desktop reports a failure");
    return QImage();
  }
  const QUrl uri(response.results.value(QStringLiteral("uri")).toString());
  if (!uri.isLocalFile()) {
    error = QStringLiteral("the desktop portal named no picture file (%1)").arg(uri.toString());
    return QImage();
  }
  const QString file = uri.toLocalFile();
  struct stat st {};
  const int fd = openOwnPicture(file, st, error);
  if (fd < 0) return QImage();
  QFile opened;
  opened.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
  QImageReader reader(&opened);
  QImage picture = reader.read();
  // The picture served this request only; one the portal had made earlier stays.
  if (madeForRequest(file, st, asked)) QFile::remove(file);
  if (picture.isNull()) {
    error = QStringLiteral("the desktop portal's picture %1 could not be read (%2)").arg(file, reader.errorString());
    return QImage();
  }
  if (picture.format() != QImage::Format_RGB32) picture = picture.convertToFormat(QImage::Format_RGB32);
  return picture;
}

bool PortalScreen::grab(const ScreenRect& rect, QImage& target) {
  const int64_t w = rect.width(), h = rect.height();
  if (w <= 0 || h <= 0 || w > 32767 || h > 32767) return false;
  QImage picture = takePicture(lastError_);
  if (picture.isNull()) return false;
  const QRect primary = primaryIn(picture.size());
  lastPicture_ = primary.size();

  // Screen coordinates start at the primary's corner; the other outputs lie
  // around it, and outside the desktop is black, as on X11.
  target = QImage(int(w), int(h), QImage::Format_RGB32);
  if (target.isNull()) {
    lastError_ = QStringLiteral("not enough memory for a picture of %1 x %2 pixels").arg(w).arg(h);
    return false;
  }
  target.fill(0xff000000u);
  // Edges far beyond any desktop are pulled in first; what they cover is black anyway.
  auto edge = [](int64_t v) { return int(std::clamp<int64_t>(v, -(int64_t(1) << 30), int64_t(1) << 30)); };
  const QRect wanted(edge(primary.left() + int64_t(rect.Left)), edge(primary.top() + int64_t(rect.Top)), int(w), int(h));
  const QRect part = wanted.intersected(picture.rect());
  for (int y = part.top(); y <= part.bottom(); ++y) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(picture.constScanLine(y)) + part.left();
    uint32_t* dst = reinterpret_cast<uint32_t*>(target.scanLine(y - wanted.top())) + (part.left() - wanted.left());
    std::memcpy(dst, src, size_t(part.width()) * 4);
  }
  return true;
}

}  // namespace lumora

#include "PortalScreen.moc"
