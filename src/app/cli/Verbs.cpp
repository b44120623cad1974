#include "app/cli/Verbs.h"

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

int RunVerb(const CommandLine& cl, const Desktop* desktop) {
  const QString key = desktop ? desktop->sessionKey() : RunningInstance::SessionKey();
  if (key.isEmpty()) {
    std::fprintf(stderr, "lumora: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
    return 1;
  }
  // Only a program that holds the lock can answer; without one nothing waits.
  const int patience = InstanceLock(key).heldElsewhere() ? 5000 : 0;
  return SendToRunning(key, cl.verb, patience);
}

}  // namespace lumora
