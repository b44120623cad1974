#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace lumora {

// The interval timer's logic, driven by one tick a second: the countdown, the
// capture when it runs out, repetition, and the texts of gauge and status bar.
class IntervalTimer {
 public:
  // Runtime bounds of the three fields.
  static constexpr int kMaxHour = 24;
  static constexpr int kMaxMinute = 59;
  static constexpr int kMaxSecond = 59;

  // `capture` runs the capture driver; false when it cannot run now (another
  // capture or a dialog is open), and the timer then waits for it.
  explicit IntervalTimer(std::function<bool()> capture) : capture_(std::move(capture)) {}

  // The duration, from the fields.
  static uint32_t Total(int hours, int minutes, int seconds);
  // What a field holds once the user leaves it: text that is not a whole number
  // counts as 0, a number outside 0..max is pulled to the nearer bound.
  static int FieldValue(const QString& text, int max);

  bool enabled() const { return enabled_; }
  uint32_t RemainingSeconds() const { return remaining_; }
  uint32_t total() const { return total_; }

  // The start/stop button was toggled: `pressed` is its new state.
  void setEnabled(bool pressed, uint32_t total);
  // A new countdown from the fields' duration.
  void StartCountdown(uint32_t total);

  enum class TickOutcome { Ignored, Counted, Waiting, Repeated, Stopped };
  // One tick. `loop` is "Wiederholung", `total` the fields' duration for a
  // repetition. A tick that arrives while the capture still runs (inside one of
  // its boxes) is ignored. A capture that is due but cannot run yet is Waiting:
  // the countdown stays at zero and the next tick tries again, so the picture is
  // taken late rather than never.
  TickOutcome tick(bool loop, uint32_t total);

  // Status-bar panel 3: the remaining time while running, else "Deaktiviert".
  QString panelText() const;
  // The gauge's remaining share in whole percent (truncated); full when stopped.
  int gaugePercent() const;

 private:
  std::function<bool()> capture_;
  bool enabled_ = false;
  bool capturing_ = false;
  uint32_t remaining_ = 0;
  uint32_t total_ = 100;  // the gauge's maximum; full before the first start
};

}  // namespace lumora
