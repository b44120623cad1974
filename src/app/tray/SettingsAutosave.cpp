#include "app/tray/SettingsAutosave.h"

#include <QEvent>
#include <cstdio>

namespace lumora {

SettingsAutosave::SettingsAutosave(std::function<QByteArray()> image, std::function<bool()> save,
                                   std::chrono::milliseconds delay)
    : image_(std::move(image)), save_(std::move(save)) {
  timer_.setSingleShot(true);
  timer_.setInterval(int(delay.count()));
  connect(&timer_, &QTimer::timeout, this, [this] { flush(); });
  markStored();
}

void SettingsAutosave::poke() { timer_.start(); }

void SettingsAutosave::markStored() { stored_ = image_(); }

void SettingsAutosave::hold(bool held) {
  held_ = held;
  if (held) timer_.stop();
}

bool SettingsAutosave::flush() {
  timer_.stop();
  if (held_) return false;
  const QByteArray now = image_();
  if (now == stored_) return true;
  if (!save_()) {
    // Said once; the save at exit tries again and shows its own message.
    if (!toldFailure_)
      std::fprintf(stderr, "lumora: the settings could not be saved; they are kept in memory until the next try\n");
    toldFailure_ = true;
    return false;
  }
  toldFailure_ = false;
  stored_ = now;
  return true;
}

bool SettingsAutosave::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
      poke();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace lumora
