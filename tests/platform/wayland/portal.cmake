# The Wayland services over D-Bus, against stand-ins on a private bus.
lumora_test(platform_portal_test PortalScreenTest.cpp PortalHotkeysTest.cpp LIBS lumora_platform_wayland)
