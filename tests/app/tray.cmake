lumora_test(app_tray_test TrayControllerTest.cpp TrayWidgetsTest.cpp LIBS lumora_app)
