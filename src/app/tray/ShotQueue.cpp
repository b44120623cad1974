#include "app/tray/ShotQueue.h"

namespace lumora {

ShotQueue::ShotQueue(std::function<std::optional<bool>()> shoot, std::chrono::milliseconds retry)
    : shoot_(std::move(shoot)) {
  retry_.setSingleShot(true);
  retry_.setInterval(int(retry.count()));
  connect(&retry_, &QTimer::timeout, this, [this] { run(); });
}

void ShotQueue::add(const RunningInstance::Reply& reply) {
  if (waiting_.size() >= kMaxWaiting) {
    reply.done(RunningInstance::Outcome::Busy);
    return;
  }
  waiting_.push_back(reply);
  run();
}

void ShotQueue::run() {
  // A capture shows boxes that keep the event loop running; commands that come
  // meanwhile join the queue and wait for this round to reach them.
  if (running_) return;
  running_ = true;
  struct Release {
    bool& flag;
    ~Release() { flag = false; }
  } release{running_};
  while (!waiting_.empty()) {
    RunningInstance::Reply next = waiting_.front();
    waiting_.pop_front();
    if (!next.waiting()) {
      next.done(RunningInstance::Outcome::Failed);
      continue;
    }
    const std::optional<bool> saved = shoot_();
    if (!saved) {
      waiting_.push_front(next);
      retry_.start();
      return;
    }
    next.done(*saved ? RunningInstance::Outcome::Done : RunningInstance::Outcome::Failed);
  }
}

}  // namespace lumora
