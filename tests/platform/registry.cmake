lumora_test(registry_test RegFileTest.cpp RegFileRegistryTest.cpp LIBS lumora_platform)
