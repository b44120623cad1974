# sway's window tree read for the windows on the screen.
lumora_test(platform_sway_tree_test SwayTreeTest.cpp LIBS lumora_platform_wayland)
