lumora_test(platform_test PixelOpsTest.cpp AtomicFileTest.cpp PublishTest.cpp XcbScreenTest.cpp LIBS lumora_platform PkgConfig::XCB)
