lumora_test(e2e_options_test OptionsTest.cpp LABELS e2e TIMEOUT 900)
add_dependencies(e2e_options_test lumora)
