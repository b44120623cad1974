#include "platform/ipc/LastWill.h"

#include <cstdlib>

namespace lumora {

namespace {

// What exit() is to run. A function given to atexit() can reach nothing but
// static storage, so this is the one place that holds it.
const std::function<void()>* gLast = nullptr;  // NOLINT: read by the exit handler only

void runLast() {
  const std::function<void()>* last = gLast;
  gLast = nullptr;  // once, also should it end the process itself
  if (last && *last) (*last)();
}

}  // namespace

LastWill::LastWill(std::function<void()> last) : last_(std::move(last)) {
  static const bool registered = std::atexit(runLast) == 0;
  if (registered) gLast = &last_;
}

LastWill::~LastWill() {
  if (gLast == &last_) gLast = nullptr;
}

}  // namespace lumora
