lumora_test(platform_x11_test XcbScreenTest.cpp LIBS lumora_platform_x11 PkgConfig::XCB)
