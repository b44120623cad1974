#include "platform/clipboard/ClipboardHolder.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/clipboard/QtClipboard.h"

namespace lumora {

ClipboardHolder::ClipboardHolder(ClipboardManager& manager, std::function<void()> finished)
    : manager_(manager), finished_(std::move(finished)) {}

bool ClipboardHolder::offer(const QImage& picture) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  QMimeData* data = PictureMimeData(picture);
  clipboard->setMimeData(data);
  // Qt counts the clipboard as ours even when the server refused it; asking for
  // the content asks the server who owns it.
  return clipboard->ownsClipboard() && clipboard->mimeData() == data;
}

void ClipboardHolder::keep() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  QObject::connect(clipboard, &QClipboard::changed, &context_, [this](QClipboard::Mode mode) {
    if (mode == QClipboard::Clipboard) check();
  });
  // Qt tells of a new owner only where the server reports selection changes; the
  // loss of ownership itself is always noticed, so a slow look covers the rest.
  poll_.setInterval(1000);
  QObject::connect(&poll_, &QTimer::timeout, &context_, [this] { check(); });
  poll_.start();
  if (manager_.present())
    manager_.save(KeptPictureTypes(), [this](bool kept) {
      if (kept) finish();
    });
}

void ClipboardHolder::check() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard || !clipboard->ownsClipboard()) finish();
}

void ClipboardHolder::finish() {
  if (done_) return;
  done_ = true;
  poll_.stop();
  if (finished_) finished_();
}

bool ClipboardHolder::IsHolderProcess(pid_t pid) {
  QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
  if (!cmdline.open(QIODevice::ReadOnly)) return false;
  return cmdline.readAll().split('\0').contains(QByteArray(Argument()));
}

}  // namespace lumora
