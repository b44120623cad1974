#include "ui/TimerTab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace lumora {

TimerSpin::TimerSpin(int storedMax, int runtimeMax, QWidget* parent) : QSpinBox(parent), runtimeMax_(runtimeMax) {
  setRange(0, storedMax);
  // Leaving the field pulls a value outside the runtime bounds to the nearer one.
  connect(this, &QSpinBox::editingFinished, this, [this] {
    if (value() > runtimeMax_) setValue(runtimeMax_);
  });
}

void TimerSpin::stepBy(int steps) {
  interpretText();  // a step starts from what was typed, not from the value before it
  setValue(std::clamp(value() + steps, 0, runtimeMax_));
}

// Nothing typed is refused on the way; only a number within the bounds counts at once.
QValidator::State TimerSpin::validate(QString& text, int&) const {
  return text == QString::number(IntervalTimer::FieldValue(text, runtimeMax_)) ? QValidator::Acceptable
                                                                               : QValidator::Intermediate;
}

void TimerSpin::fixup(QString& text) const { text = QString::number(IntervalTimer::FieldValue(text, runtimeMax_)); }

int TimerSpin::valueFromText(const QString& text) const { return IntervalTimer::FieldValue(text, runtimeMax_); }

QAbstractSpinBox::StepEnabled TimerSpin::stepEnabled() const {
  StepEnabled e = StepNone;
  if (value() < runtimeMax_) e |= StepUpEnabled;
  if (value() > 0) e |= StepDownEnabled;
  return e;
}

void TimerGauge::setPercent(int percent) {
  percent_ = std::clamp(percent, 0, 100);
  update();
}

void TimerGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = rect().adjusted(1, 1, -1, -1);
  const int filled = area.width() * percent_ / 100;
  painter.fillRect(area, QColor(179, 0, 0));
  painter.fillRect(QRect(area.left(), area.top(), filled, area.height()), Qt::black);
  painter.setPen(palette().mid().color());
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

TimerTab::TimerTab(OptionsContext& context, OptionsWindow& window, QWidget* parent)
    : OptionsPage(context, window, parent), logic_([this] { return window_.timerCapture(); }) {
  // The fields keep the wider bounds a stored value may have (0-99, 0-60) and
  // hold the user to the runtime bounds.
  seHour_ = new TimerSpin(99, IntervalTimer::kMaxHour, this);
  seHour_->setObjectName(QStringLiteral("seHour"));
  seHour_->setToolTip(QStringLiteral("Stundenzähler (0-99)"));
  seMinute_ = new TimerSpin(60, IntervalTimer::kMaxMinute, this);
  seMinute_->setObjectName(QStringLiteral("seMinute"));
  seMinute_->setToolTip(QStringLiteral("Minutenzähler (0-59)"));
  seSecond_ = new TimerSpin(60, IntervalTimer::kMaxSecond, this);
  seSecond_->setObjectName(QStringLiteral("seSecond"));
  seSecond_->setToolTip(QStringLiteral("Sekundenzähler (0-59)"));
  btnResetTimer_ = new QPushButton(QStringLiteral("Reset"), this);
  btnResetTimer_->setObjectName(QStringLiteral("btnResetTimer"));
  btnResetTimer_->setToolTip(QStringLiteral("Stellt alles Spineditfelder auf Null zurück"));

  auto* frequenz = new QGroupBox(QStringLiteral(" Frequenz "), this);
  auto* fgrid = new QGridLayout(frequenz);
  fgrid->addWidget(new QLabel(QStringLiteral("Stunden:"), frequenz), 0, 0);
  fgrid->addWidget(seHour_, 0, 1);
  fgrid->addWidget(new QLabel(QStringLiteral("Minuten:"), frequenz), 1, 0);
  fgrid->addWidget(seMinute_, 1, 1);
  fgrid->addWidget(new QLabel(QStringLiteral("Sekunden:"), frequenz), 2, 0);
  fgrid->addWidget(seSecond_, 2, 1);
  fgrid->addWidget(btnResetTimer_, 3, 0, 1, 2);

  btnTimerOnOff_ = new QPushButton(QStringLiteral("Timer starten"), this);
  btnTimerOnOff_->setObjectName(QStringLiteral("btnTimerOnOff"));
  btnTimerOnOff_->setCheckable(true);
  btnTimerOnOff_->setToolTip(QStringLiteral("Starten bzw. Stoppen des Timers"));
  cbLoopTimer_ = new QCheckBox(QStringLiteral("Wiederholung"), this);
  cbLoopTimer_->setObjectName(QStringLiteral("cbLoopTimer"));
  cbLoopTimer_->setToolTip(QStringLiteral("Nach Ablauf des Timers erneut beginnen"));
  cbAutoStart_ = new QCheckBox(QStringLiteral("Autostart"), this);
  cbAutoStart_->setObjectName(QStringLiteral("cbAutoStart"));
  cbAutoStart_->setToolTip(QStringLiteral("Timer bei Programmstart starten"));
  pbTimer_ = new TimerGauge(this);
  pbTimer_->setObjectName(QStringLiteral("pbTimer"));
  pbTimer_->setFixedHeight(16);
  pbTimer_->setToolTip(QStringLiteral("Fortschrittsanzeige des Timers (Rot = verstrichene Zeit)"));

  auto* einstellungen = new QGroupBox(QStringLiteral(" Einstellungen "), this);
  auto* egrid = new QVBoxLayout(einstellungen);
  egrid->addWidget(btnTimerOnOff_);
  egrid->addWidget(cbLoopTimer_);
  egrid->addWidget(pbTimer_);
  egrid->addWidget(cbAutoStart_);
  egrid->addStretch(1);

  gbVorgaben_ = new QGroupBox(QStringLiteral(" Zeitvorgaben "), this);
  gbVorgaben_->setObjectName(QStringLiteral("gbVorgaben"));
  auto* vgrid = new QGridLayout(gbVorgaben_);
  vgrid->setVerticalSpacing(1);
  struct Preset {
    const char* name;
    const char* label;
    int h, m, s;
  };
  const Preset presets[] = {
      {"btn24Hour", "Ein kompletter Tag (24 Stunden)", 24, 0, 0},
      {"btn60Minutes", "Eine Stunde (60Minuten)", 1, 0, 0},
      {"btn45Minutes", "Dreiviertel Strunde (45 Minuten)", 0, 45, 0},
      {"btn30Minutes", "Eine halbe Stunde (30 Minuten)", 0, 30, 0},
      {"btn15Minutes", "Viertel Stunde (15 Minuten)", 0, 15, 0},
      {"btn60Seconds", "Eine Minute (60 Sekunden)", 0, 1, 0},
      {"btn10Seconds", "Zehn Sekunden", 0, 0, 10},
  };
  int row = 0;
  for (const Preset& p : presets) {
    // Wider than high and with an arrow towards the fields it fills, so that it
    // reads as a button and not as a check box.
    auto* button = new QPushButton(gbVorgaben_);
    button->setObjectName(QLatin1String(p.name));
    button->setFixedSize(24, 17);
    button->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft, nullptr, button));
    button->setIconSize(QSize(12, 12));
    button->setToolTip(QStringLiteral("Zeitvorgaben"));
    connect(button, &QPushButton::clicked, this, [this, p] { SetTimerFields(p.h, p.m, p.s); });
    vgrid->addWidget(button, row, 0);
    vgrid->addWidget(new QLabel(QString::fromUtf8(p.label), gbVorgaben_), row, 1);
    ++row;
  }

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* left = new QVBoxLayout;
  left->addWidget(frequenz);
  left->addWidget(einstellungen, 1);
  layout->addLayout(left);
  layout->addWidget(gbVorgaben_, 1);

  Settings& s = ctx_.settings;
  connect(seHour_, &QSpinBox::valueChanged, this, [&s](int v) { s.Timer.ValHour = v; });
  connect(seMinute_, &QSpinBox::valueChanged, this, [&s](int v) { s.Timer.ValMin = v; });
  connect(seSecond_, &QSpinBox::valueChanged, this, [&s](int v) { s.Timer.ValSec = v; });
  connect(cbLoopTimer_, &QCheckBox::toggled, this, [&s](bool on) { s.Timer.Loop = on; });
  connect(cbAutoStart_, &QCheckBox::toggled, this, [&s](bool on) { s.Timer.TimerAutostart = on; });
  connect(btnResetTimer_, &QPushButton::clicked, this, [this] { SetTimerFields(0, 0, 0); });
  connect(btnTimerOnOff_, &QPushButton::clicked, this, &TimerTab::btnTimerOnOffClick);
  // One tick a second, unless the run asked for another.
  period_ = ctx_.timerTickMs > 0 ? ctx_.timerTickMs : 1000;
  Timer.setInterval(period_);
  connect(&Timer, &QTimer::timeout, this, &TimerTab::TimerTimer);
}

uint32_t TimerTab::fieldsTotal() const {
  return IntervalTimer::Total(seHour_->value(), seMinute_->value(), seSecond_->value());
}

void TimerTab::loadFromSettings() {
  // Stored values keep to the wider bounds only: 25 hours show as 25.
  const TimerSettings t = ctx_.settings.Timer;
  seHour_->setValue(t.ValHour);
  seMinute_->setValue(t.ValMin);
  seSecond_->setValue(t.ValSec);
  cbLoopTimer_->setChecked(t.Loop);
  cbAutoStart_->setChecked(t.TimerAutostart);
}

void TimerTab::SetTimerFields(int hours, int minutes, int seconds) {
  seHour_->setValue(std::clamp(hours, 0, IntervalTimer::kMaxHour));
  seMinute_->setValue(std::clamp(minutes, 0, IntervalTimer::kMaxMinute));
  seSecond_->setValue(std::clamp(seconds, 0, IntervalTimer::kMaxSecond));
}

void TimerTab::initWindowState() {
  // Stopped, also after a reset that found the timer running: the button comes
  // up and the locked controls are freed.
  Timer.stop();
  Timer.setInterval(period_);
  logic_.setEnabled(false, 0);
  btnTimerOnOff_->setChecked(false);
  btnTimerOnOff_->setText(QStringLiteral("Timer starten"));
  window_.LockForTimer();
  ShowTimerState();
  if (cbAutoStart_->isChecked()) {
    btnTimerOnOff_->setChecked(true);
    btnTimerOnOffClick();
  }
}

void TimerTab::lockForTimer(bool running) {
  for (QWidget* w : std::initializer_list<QWidget*>{seHour_, seMinute_, seSecond_, btnResetTimer_, gbVorgaben_})
    w->setEnabled(!running);
}

void TimerTab::ShowTimerState() {
  window_.setStatusTimer(logic_.panelText());
  pbTimer_->setPercent(logic_.gaugePercent());
}

void TimerTab::btnTimerOnOffClick() {
  logic_.setEnabled(btnTimerOnOff_->isChecked(), fieldsTotal());
  window_.LockForTimer();
  if (logic_.enabled()) {
    // A new countdown ticks its first second in full, whatever the last one
    // was left at (a capture that waited ticks sooner).
    Timer.start(period_);
    btnTimerOnOff_->setText(QStringLiteral("Timer stoppen"));
  } else {
    Timer.stop();
    btnTimerOnOff_->setText(QStringLiteral("Timer starten"));
  }
  ShowTimerState();
}

void TimerTab::TimerTimer() {
  const IntervalTimer::TickOutcome outcome = logic_.tick(cbLoopTimer_->isChecked(), fieldsTotal());
  // A capture that is due but must wait for a dialog or another capture is tried
  // again soon, so that it follows as soon as the way is free.
  const int interval = outcome == IntervalTimer::TickOutcome::Waiting ? kRetryMs : period_;
  if (Timer.interval() != interval) Timer.setInterval(interval);
  switch (outcome) {
    case IntervalTimer::TickOutcome::Ignored:
    case IntervalTimer::TickOutcome::Waiting:
      return;
    case IntervalTimer::TickOutcome::Counted:
    case IntervalTimer::TickOutcome::Repeated:
      ShowTimerState();
      return;
    case IntervalTimer::TickOutcome::Stopped:
      Timer.stop();
      btnTimerOnOff_->setChecked(false);
      btnTimerOnOff_->setText(QStringLiteral("Timer starten"));
      ShowTimerState();
      window_.LockForTimer();
      return;
  }
}

}  // namespace lumora
