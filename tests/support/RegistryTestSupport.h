#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace lumora::test {

// Runs `fn` on a thread without privileges, so that folder permissions hold for it
// even when the tests run as root. Capabilities belong to the thread, so the rest of
// the test program keeps its own.
template <typename Fn>
auto WithoutPrivileges(Fn fn) {
  decltype(fn()) result{};
  std::thread t([&] {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) == 0) {
      data[0].effective = data[1].effective = 0;
      ::syscall(SYS_capset, &header, data);
    }
    result = fn();
  });
  t.join();
  return result;
}

}  // namespace lumora::test
