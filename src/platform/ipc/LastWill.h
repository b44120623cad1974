#pragma once

#include <functional>

namespace lumora {

// Runs `last` when the process ends through exit() while this object lives, past
// every destructor and the program's own exit sequence: the way Qt's X11 plugin
// ends the program when the X server goes away. Only one may exist in a process.
class LastWill {
 public:
  explicit LastWill(std::function<void()> last);
  ~LastWill();
  LastWill(const LastWill&) = delete;
  LastWill& operator=(const LastWill&) = delete;

 private:
  std::function<void()> last_;
};

}  // namespace lumora
