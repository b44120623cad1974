# A stand-in clipboard manager for the clipboard tests.
add_executable(clipboard_manager_standin ${PROJECT_SOURCE_DIR}/tests/support/ClipboardManagerStandIn.cpp)
target_link_libraries(clipboard_manager_standin PRIVATE PkgConfig::XCB)
lumora_test(e2e_clipboard_test ClipboardTest.cpp LABELS e2e)
add_dependencies(e2e_clipboard_test lumora clipboard_manager_standin)
target_compile_definitions(e2e_clipboard_test PRIVATE STANDIN_BINARY="$<TARGET_FILE:clipboard_manager_standin>")
