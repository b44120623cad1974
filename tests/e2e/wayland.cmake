# Wayland: headless sway with the desktop portal. The wlr portal writes every
# picture to one fixed file, so no two of these run at once.
lumora_test(e2e_wayland_test WaylandTest.cpp LABELS e2e TIMEOUT 300)
add_dependencies(e2e_wayland_test lumora)
set_tests_properties(e2e_wayland_test PROPERTIES RESOURCE_LOCK desktop_portal_file)
