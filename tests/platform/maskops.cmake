lumora_test(maskops_test MaskOpsTest.cpp LIBS lumora_platform)
