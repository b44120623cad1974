#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>

#include "platform/ipc/RunningInstance.h"

namespace lumora {

// The screenshots asked for from the command line (lumora --shot). One that
// cannot run at once, because another capture, a selection or a box is in the
// way, waits as the interval timer does and runs as soon as the way is free;
// each caller hears whether its picture was saved. A caller that gave up waiting
// gets no picture either, so that every "ok" stands for one picture.
class ShotQueue : public QObject {
 public:
  // `shoot` tries one capture: nothing when it cannot run now, otherwise whether
  // a picture was saved.
  explicit ShotQueue(std::function<std::optional<bool>()> shoot,
                     std::chrono::milliseconds retry = std::chrono::milliseconds(100));

  // More callers than this are told at once that the program is busy.
  static constexpr size_t kMaxWaiting = 256;

  void add(const RunningInstance::Reply& reply);
  size_t waiting() const { return waiting_.size(); }

 private:
  void run();

  std::function<std::optional<bool>()> shoot_;
  std::deque<RunningInstance::Reply> waiting_;
  QTimer retry_;
  bool running_ = false;
};

}  // namespace lumora
