#pragma once

#include <QDBusConnection>
#include <cstdint>

#include "platform/Screensaver.h"

namespace lumora {

// The desktop's screensaver through org.freedesktop.ScreenSaver: off holds an
// inhibition, on gives it back. Desktop power managers override an X server's
// own timeout, so where this service runs it is the switch that counts; the
// service also drops the inhibition by itself when the program ends.
class DBusScreensaver : public Screensaver {
 public:
  explicit DBusScreensaver(QDBusConnection bus);
  ~DBusScreensaver() override;
  DBusScreensaver(const DBusScreensaver&) = delete;
  DBusScreensaver& operator=(const DBusScreensaver&) = delete;

  // True when the session bus has the service running or can start it.
  static bool Available(const QDBusConnection& bus);

  bool setActive(bool on) override;
  bool inhibited() const { return cookie_ != 0; }

 private:
  QDBusConnection bus_;
  uint32_t cookie_ = 0;
};

}  // namespace lumora
