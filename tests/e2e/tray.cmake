lumora_test(e2e_tray_test TrayTest.cpp LABELS e2e TIMEOUT 600)
add_dependencies(e2e_tray_test lumora)
