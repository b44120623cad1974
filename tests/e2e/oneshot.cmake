lumora_test(e2e_oneshot_test OneShotTest.cpp LABELS e2e LIBS PkgConfig::XCB)
add_dependencies(e2e_oneshot_test lumora)
