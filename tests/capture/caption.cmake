lumora_test(caption_test CaptionTest.cpp OptionCheckTest.cpp LIBS lumora_capture)
