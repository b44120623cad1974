lumora_test(e2e_taskbar_test TaskbarTest.cpp LABELS e2e TIMEOUT 300)
add_dependencies(e2e_taskbar_test lumora)
