lumora_test(capture_savers_test ColorDepthTest.cpp BmpWriterTest.cpp JpegTgaTest.cpp PngWriterTest.cpp SaverFailureTest.cpp
  LIBS lumora_capture JPEG::JPEG ZLIB::ZLIB)
