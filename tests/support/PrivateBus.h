#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryFile>
#include <sys/types.h>

namespace lumora::test {

// A bare bus of `type` ("session" or "system") that lets its clients do
// everything: no services it could start by itself, so that a name no stand-in
// owns is simply not there, whatever the machine has installed.
QByteArray BareBusConfig(const char* type);

// A session bus of its own for one test program: a dbus-daemon stopped by its
// process id when the object goes.
class PrivateBus {
 public:
  PrivateBus();
  ~PrivateBus();
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  bool running() const { return pid_ > 0 && !address_.isEmpty(); }
  QString address() const { return address_; }

 private:
  QTemporaryFile config_;
  pid_t pid_ = -1;
  QString address_;
};

}  // namespace lumora::test
