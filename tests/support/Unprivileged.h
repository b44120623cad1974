#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumora::test {

// The user "nobody": tests that check what a user may not do run as this user
// when they run as root (CI does), since root may do everything.
constexpr uid_t kNobody = 65534;

// Runs `body` in a child process as `uid`/`gid` (given up for good, so only
// from root) and returns the child's exit status (`body`'s result, or -1 when it
// died; 99 when the user could not be taken on).
inline int RunAs(uid_t uid, gid_t gid, const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::geteuid() != uid && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)) ::_exit(99);
    ::_exit(body());
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs `body` in a child process that has given up root, if the test runs as
// root, and returns the child's exit status (`body`'s result, or -1 when it
// died). Folders the child needs must be open to it (e.g. mode 0777).
inline int RunUnprivileged(const std::function<int()>& body) {
  if (::geteuid() != 0) return RunAs(::geteuid(), ::getegid(), body);
  return RunAs(kNobody, kNobody, body);
}

// A local user of this name, made (as a system user without a home) when
// missing; as anyone but root, the user running the test. False with `error`
// set when it could not be made.
inline bool EnsureUser(const char* name, uid_t& uid, gid_t& gid, QString& error) {
  if (::geteuid() != 0) {
    uid = ::geteuid();
    gid = ::getegid();
    return true;
  }
  if (!::getpwnam(name)) {
    // Another test program may be creating it at the same moment.
    QProcess::execute(QStringLiteral("useradd"), {QStringLiteral("--system"), QStringLiteral("--no-create-home"),
                                                  QStringLiteral("--home-dir"), QStringLiteral("/nonexistent"),
                                                  QStringLiteral("--shell"), QStringLiteral("/usr/sbin/nologin"),
                                                  QString::fromLatin1(name)});
  }
  const passwd* pw = ::getpwnam(name);
  if (!pw) {
    error = QStringLiteral("cannot create the user %1 (useradd)").arg(QString::fromLatin1(name));
    return false;
  }
  uid = pw->pw_uid;
  gid = pw->pw_gid;
  return true;
}

}  // namespace lumora::test
