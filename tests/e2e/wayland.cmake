# Wayland: headless sway with the desktop portal. The wlr portal writes every
# picture to one fixed file, so no two of these run at once.
lumora_test(e2e_wayland_test WaylandTest.cpp LABELS e2e TIMEOUT 300)
add_dependencies(e2e_wayland_test lumora)
set_tests_properties(e2e_wayland_test PROPERTIES RESOURCE_LOCK desktop_portal_file)
# The selection overlay alone, opened as the tray program opens it.
add_executable(overlay_probe ${PROJECT_SOURCE_DIR}/tests/support/OverlayProbe.cpp)
target_link_libraries(overlay_probe PRIVATE lumora_app)
add_dependencies(e2e_wayland_test overlay_probe)
target_compile_definitions(e2e_wayland_test PRIVATE OVERLAY_PROBE="$<TARGET_FILE:overlay_probe>")
