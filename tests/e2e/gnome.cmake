# GNOME on Wayland: headless GNOME Shell with its desktop portal, input and the
# shell's own pictures through a helper run inside the session.
find_package(Qt6 REQUIRED COMPONENTS DBus)
add_executable(gnome_shell_helper ${PROJECT_SOURCE_DIR}/tests/support/GnomeShellHelper.cpp)
target_link_libraries(gnome_shell_helper PRIVATE Qt6::DBus)
lumora_test(e2e_gnome_test GnomeTest.cpp LABELS e2e TIMEOUT 400)
add_dependencies(e2e_gnome_test lumora gnome_shell_helper overlay_probe)
target_compile_definitions(e2e_gnome_test PRIVATE GNOME_SHELL_HELPER="$<TARGET_FILE:gnome_shell_helper>"
                                                  OVERLAY_PROBE="$<TARGET_FILE:overlay_probe>")
