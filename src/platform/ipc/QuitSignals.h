#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace lumora {

// Turns SIGINT, SIGTERM and SIGHUP (Ctrl+C, the end of a desktop session, a closed
// terminal) into a call on
// the GUI thread, so that the program ends through its normal exit sequence and
// keeps its settings. Only one may exist in a process.
class QuitSignals : public QObject {
  Q_OBJECT
 public:
  explicit QuitSignals(std::function<void()> onQuit);
  ~QuitSignals() override;

 private:
  std::function<void()> onQuit_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace lumora
