#pragma once

#include <QString>
#include <QTemporaryFile>
#include <sys/types.h>

namespace lumora::test {

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
