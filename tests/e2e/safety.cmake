lumora_test(e2e_safety_test SafetyTest.cpp LABELS e2e)
add_dependencies(e2e_safety_test lumora)
