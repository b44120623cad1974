lumora_test(app_tray_test TrayControllerTest.cpp TrayWidgetsTest.cpp LIBS lumora_tray lumora_cli)
lumora_test(app_autostart_test AutostartTest.cpp LIBS lumora_tray lumora_cli)
lumora_test(app_interface_test GermanInterfaceTest.cpp MessageBoxTest.cpp TextFitTest.cpp ${PROJECT_SOURCE_DIR}/tests/support/TextFit.cpp
            LIBS lumora_tray lumora_cli)
lumora_test(app_system_actions_test SystemActionsTest.cpp LIBS lumora_tray lumora_cli)
