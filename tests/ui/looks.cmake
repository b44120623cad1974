lumora_test(ui_looks_test LooksTest.cpp LIBS lumora_ui)
