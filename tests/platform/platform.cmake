lumora_test(platform_test PixelOpsTest.cpp AtomicFileTest.cpp PublishTest.cpp InstanceLockTest.cpp RunningInstanceTest.cpp XcbScreenTest.cpp LIBS lumora_platform PkgConfig::XCB)
