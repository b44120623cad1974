#pragma once

#include <QDBusConnection>
#include <QObject>
#include <cstdint>

#include "platform/CaptureNotice.h"

namespace lumora {

// The confirmation as a desktop notification (org.freedesktop.Notifications),
// when a notification server runs: GNOME Shell shows it as a banner at the top,
// which never takes the keyboard. Each one replaces the one before and is marked
// transient, so interval captures leave no trail in the desktop's list.
class DesktopNotice : public QObject, public CaptureNotice {
  Q_OBJECT
 public:
  explicit DesktopNotice(QDBusConnection bus);

  // Only a server that runs counts: one the bus would start first (a daemon of
  // another desktop) may never show anything.
  bool show() override;
  void close() override;

 private:
  QDBusConnection bus_;
  uint32_t id_ = 0;  // the server's id of the last one, once it answered
  bool open_ = false;
};

}  // namespace lumora
