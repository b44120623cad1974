# Windows under Openbox and without a window manager: snapping in the overlay and the active window.
lumora_test(e2e_windows_test WindowsTest.cpp LABELS e2e TIMEOUT 300)
add_dependencies(e2e_windows_test lumora)
