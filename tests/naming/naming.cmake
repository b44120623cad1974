lumora_test(naming_test FileNamingTest.cpp NamingTextsTest.cpp FileNamePromptTest.cpp LIBS lumora_naming)
