#include "app/ClipboardHolderMain.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QProcessEnvironment>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Desktop.h"
#include "platform/clipboard/BackgroundClipboard.h"
#include "platform/clipboard/ClipboardHolder.h"
#include "platform/clipboard/HolderLock.h"
#include "platform/clipboard/PictureStream.h"
#include "platform/fs/RuntimeFolder.h"
#include "platform/ipc/QuitSignals.h"

namespace lumora {

namespace {

constexpr int kFd = BackgroundClipboard::kHolderFd;

void answer(const QString& line) {
  const QByteArray bytes = line.toUtf8() + '\n';
  QString ignored;
  SocketIo::WriteAll(kFd, bytes.constData(), size_t(bytes.size()), SocketIo::Clock::now() + std::chrono::seconds(5),
                     ignored);
  ::close(kFd);
}

[[noreturn]] void giveUp(const QString& reason) {
  answer(QStringLiteral("ERR ") + reason);
  std::_Exit(1);
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
  const std::optional<Desktop> desktop = Desktop::ForClipboardHolder(QProcessEnvironment::systemEnvironment(), error);
  if (!desktop) giveUp(error);

  QGuiApplication app(argc, argv);
  const std::unique_ptr<ClipboardManager> manager = desktop->clipboardManager();

  // One holder per X server, however $DISPLAY spells it, in a folder that is the
  // user's alone: one another user made in /tmp first is passed over.
  const QString folder = PrivateRuntimeFolder();
  if (folder.isEmpty()) giveUp(QStringLiteral("kein eigener Ordner für die Sperrdatei"));
  auto lock = std::make_unique<HolderLock>(folder, desktop->sessionKey(), ClipboardHolder::IsHolderProcess);
  if (!lock->acquired()) giveUp(lock->error());

  ClipboardHolder holder(*manager, [] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); });
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
