lumora_test(capture_savers_test ColorDepthTest.cpp BmpWriterTest.cpp JpegTgaTest.cpp PngWriterTest.cpp SaverFailureTest.cpp
  LIBS lumora_capture lumora_platform_clipboard JPEG::JPEG ZLIB::ZLIB)
