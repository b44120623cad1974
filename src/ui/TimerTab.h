#pragma once

#include <QSpinBox>
#include <QTimer>

#include "ui/IntervalTimer.h"
#include "ui/OptionsPage.h"

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace lumora {

// A spin field whose arrows and wheel keep to the runtime bounds, while a value
// put in by the program may stand outside them (a stored 30 hours shows as 30).
// Any text may be typed; leaving the field turns it into a number within the
// runtime bounds.
class TimerSpin : public QSpinBox {
  Q_OBJECT
 public:
  TimerSpin(int storedMax, int runtimeMax, QWidget* parent = nullptr);
  int runtimeMax() const { return runtimeMax_; }
  void stepBy(int steps) override;

 protected:
  StepEnabled stepEnabled() const override;
  QValidator::State validate(QString& text, int& pos) const override;
  void fixup(QString& text) const override;
  int valueFromText(const QString& text) const override;

 private:
  int runtimeMax_;
};

// The bar that shows the remaining share of the countdown: black for the time
// remaining, dark red (179, 0, 0) for the time elapsed.
class TimerGauge : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
  void setPercent(int percent);
  int percent() const { return percent_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int percent_ = 100;
};

// The tab " Zeitsteuerung ": the interval timer.
class TimerTab : public OptionsPage {
  Q_OBJECT
 public:
  TimerTab(OptionsContext& context, OptionsWindow& window, QWidget* parent = nullptr);

  // Whether the interval timer runs.
  bool running() const { return logic_.enabled(); }

  void loadFromSettings() override;
  void initWindowState() override;
  void lockForTimer(bool running) override;

  void SetTimerFields(int hours, int minutes, int seconds);
  void ShowTimerState();
  void btnTimerOnOffClick();
  void TimerTimer();

  QPushButton* btnTimerOnOff() const { return btnTimerOnOff_; }
  TimerGauge* pbTimer() const { return pbTimer_; }
  const IntervalTimer& logic() const { return logic_; }
  // The time to the next tick: a second, or less while a due capture waits.
  int tickIntervalMs() const { return Timer.interval(); }

 private:
  uint32_t fieldsTotal() const;

  IntervalTimer logic_;
  QTimer Timer;
  static constexpr int kRetryMs = 100;
  int period_ = 1000;
  TimerSpin* seHour_;
  TimerSpin* seMinute_;
  TimerSpin* seSecond_;
  QPushButton* btnResetTimer_;
  QPushButton* btnTimerOnOff_;
  QCheckBox* cbLoopTimer_;
  QCheckBox* cbAutoStart_;
  TimerGauge* pbTimer_;
  QGroupBox* gbVorgaben_;
};

}  // namespace lumora
