lumora_test(e2e_safety_test SafetyTest.cpp LABELS e2e TIMEOUT 1200)
add_dependencies(e2e_safety_test lumora)
