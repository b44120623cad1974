lumora_test(app_autostart_test AutostartTest.cpp LIBS lumora_app)
