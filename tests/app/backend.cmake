lumora_test(app_backend_test BackendTest.cpp LIBS lumora_app)
