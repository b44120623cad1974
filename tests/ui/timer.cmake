lumora_test(ui_timer_test IntervalTimerTest.cpp TimerTabTest.cpp LIBS lumora_ui)
