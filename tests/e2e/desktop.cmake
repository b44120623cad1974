lumora_test(e2e_desktop_test DesktopTest.cpp LABELS e2e)
target_compile_definitions(e2e_desktop_test PRIVATE LUMORA_GRABKEY="$<TARGET_FILE:lumora_grabkey>")
add_dependencies(e2e_desktop_test lumora lumora_grabkey)
