lumora_test(app_interface_test GermanInterfaceTest.cpp MessageBoxTest.cpp TextFitTest.cpp TextFit.cpp LIBS lumora_app)
