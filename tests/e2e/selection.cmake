lumora_test(e2e_selection_test SelectionTest.cpp LABELS e2e TIMEOUT 600)
add_dependencies(e2e_selection_test lumora)
