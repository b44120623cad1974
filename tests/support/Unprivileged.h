#pragma once

#include <functional>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumora::test {

// The user "nobody": tests that check what a user may not do run as this user
// when they run as root (CI does), since root may do everything.
constexpr uid_t kNobody = 65534;

// Runs `body` in a child process that has given up root, if the test runs as
// root, and returns the child's exit status (`body`'s result, or -1 when it
// died). Folders the child needs must be open to it (e.g. mode 0777).
inline int RunUnprivileged(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(99);
    ::_exit(body());
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace lumora::test
