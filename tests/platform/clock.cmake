lumora_test(clock_test ClockTest.cpp LIBS lumora_platform)
