#include "app/cli/Verbs.h"

#include <QProcess>
#include <cstdio>
#include <unistd.h>

#include "app/cli/CommandLine.h"
#include "platform/Desktop.h"
#include "platform/ipc/InstanceLock.h"
#include "platform/ipc/RunningInstance.h"

namespace lumora {

namespace {

// A screenshot is answered once its picture is saved, which waits for whatever
// capture, selection or box is in the way; the other commands answer at once.
constexpr int kShotAnswerMs = 10 * 60 * 1000;
constexpr int kAnswerMs = 5000;
// A program started for a verb: the time it may take to begin, and its splash, which
// would be in the picture or the frozen screen of a capture that came sooner. Once
// it holds its lock it is waited for as long as a screenshot is: its first-run
// greeting waits for the user.
constexpr int kStartMs = 20000;
constexpr int kSplashMs = 2500;

// Starts the tray program on its own, so that it outlives this command, and waits
// until it listens and its splash is gone. It keeps none of this command's streams,
// which a caller reading them to their end would otherwise wait on.
bool StartTrayProgram(const QString& key, const QString& program) {
  QProcess tray;
  tray.setProgram(program);
  tray.setStandardInputFile(QProcess::nullDevice());
  tray.setStandardOutputFile(QProcess::nullDevice());
  tray.setStandardErrorFile(QProcess::nullDevice());
  if (!tray.startDetached()) return false;
  for (int waited = 0; !RunningInstance::Listening(key); waited += 100) {
    const bool alive = InstanceLock(key).heldElsewhere();
    if ((!alive && waited >= kStartMs) || waited >= kShotAnswerMs) return false;
    ::usleep(100000);
  }
  ::usleep(kSplashMs * 1000);
  return true;
}

}  // namespace

int SendToRunning(const QString& key, const QString& verb, int patienceMs) {
  const QByteArray command = verb.toLatin1();
  const int answerMs = verb.startsWith(QLatin1String("shot")) ? kShotAnswerMs : kAnswerMs;
  using Result = RunningInstance::SendResult;
  Result result = Result::NotRunning;
  for (int waited = 0;; waited += 200) {
    result = RunningInstance::Send(key, command, answerMs);
    if (result != Result::NotRunning || waited >= patienceMs) break;
    ::usleep(200000);
  }
  const QByteArray session = key.toLocal8Bit();
  const QByteArray option = command;
  switch (result) {
    case Result::Taken:
      break;
    case Result::NotRunning:
      std::fprintf(stderr, "lumora: Lumora is not running on this display (%s); start it with: lumora\n",
                   session.constData());
      return 1;
    case Result::Failed:
      std::fprintf(stderr, "lumora: the running Lumora (%s) saved no picture for --%s\n",
                   session.constData(), option.constData());
      return 1;
    case Result::Busy:
      if (verb == QLatin1String("select"))
        std::fprintf(stderr,
                     "lumora: the running Lumora (%s) is busy (a capture, the selection or a box is open); "
                     "--select was not taken\n",
                     session.constData());
      else
        std::fprintf(stderr, "lumora: the running Lumora (%s) has too many screenshots waiting; --%s was not taken\n",
                     session.constData(), option.constData());
      return 1;
    case Result::Refused:
      std::fprintf(stderr, "lumora: the running Lumora (%s) did not take --%s\n", session.constData(),
                   option.constData());
      return 1;
  }
  if (verb == QLatin1String("quit")) {
    // Back only once the program has ended and its settings are saved.
    for (int waited = 0; RunningInstance::Listening(key) && waited < 20000; waited += 100) ::usleep(100000);
  }
  return 0;
}

int RunVerb(const CommandLine& cl, const Desktop* desktop, const QString& program) {
  const QString key = desktop ? desktop->sessionKey() : RunningInstance::SessionKey();
  if (key.isEmpty()) {
    std::fprintf(stderr, "lumora: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
    return 1;
  }
  // Only a program that holds the lock can answer; without one nothing waits.
  const bool held = InstanceLock(key).heldElsewhere();
  if (!held && cl.start) {
    // From the application menu: the action works whether Lumora runs or not.
    if (!StartTrayProgram(key, program)) {
      std::fprintf(stderr, "lumora: Lumora could not be started on this display (%s) for --%s\n",
                   key.toLocal8Bit().constData(), cl.verb.toLatin1().constData());
      return 1;
    }
  }
  return SendToRunning(key, cl.verb, held ? 5000 : 0);
}

}  // namespace lumora
