#include "app/ClipboardHolderMain.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include "platform/clipboard/BackgroundClipboard.h"
#include "platform/clipboard/ClipboardHolder.h"
#include "platform/clipboard/HolderLock.h"
#include "platform/ipc/RunningInstance.h"
#include "platform/clipboard/PictureStream.h"
#include "platform/ipc/QuitSignals.h"
#include "platform/x11/XcbClipboardManager.h"

namespace lumora {

namespace {

constexpr int kFd = BackgroundClipboard::kHolderFd;

void answer(const QString& line) {
  const QByteArray bytes = line.toUtf8() + '\n';
  QString ignored;
  PictureStream::WriteAll(kFd, bytes.constData(), size_t(bytes.size()),
                          PictureStream::Clock::now() + std::chrono::seconds(5), ignored);
  ::close(kFd);
}

[[noreturn]] void giveUp(const QString& reason) {
  answer(QStringLiteral("ERR ") + reason);
  std::_Exit(1);
}

// Qt's X11 plugin ends the process when it cannot connect; the launcher deserves a reason.
bool displayReachable() {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  const bool ok = !xcb_connection_has_error(c);
  xcb_disconnect(c);
  return ok;
}

}  // namespace

void RunClipboardHolder(int argc, char** argv) {
  struct stat st {};
  if (::fstat(kFd, &st) != 0 || !S_ISSOCK(st.st_mode)) {
    std::fprintf(stderr, "lumora: %s is started by lumora itself\n", ClipboardHolder::Argument());
    std::_Exit(2);
  }
  QImage picture;
  QString error;
  if (!PictureStream::Read(kFd, picture, PictureStream::Clock::now() + std::chrono::seconds(20), error))
    giveUp(error);
  const QByteArray display = qgetenv("DISPLAY");
  if (display.isEmpty()) giveUp(QStringLiteral("keine X-Anzeige (DISPLAY ist nicht gesetzt)"));
  if (!displayReachable())
    giveUp(QStringLiteral("keine Verbindung zur X-Anzeige %1").arg(QString::fromLocal8Bit(display)));

  // The capture came from X11; its picture goes to the X11 clipboard.
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication app(argc, argv);
  auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
  XcbClipboardManager manager(x11 ? x11->connection() : nullptr);

  // One holder per X server, however $DISPLAY spells it.
  auto lock = std::make_unique<HolderLock>(RuntimeFolders().front(), RunningInstance::SessionKey(),
                                           ClipboardHolder::IsHolderProcess);
  if (!lock->acquired()) giveUp(lock->error());

  ClipboardHolder holder(manager, [] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); });
  if (!holder.offer(picture)) {
    lock.reset();
    giveUp(QStringLiteral("die Zwischenablage ließ sich nicht übernehmen"));
  }
  answer(QStringLiteral("OK"));

  QuitSignals signals([] { QCoreApplication::quit(); });
  holder.keep();
  app.exec();
  lock.reset();
  std::_Exit(0);
}

}  // namespace lumora
