lumora_test(raster_pen_test RasterPenTest.cpp LIBS lumora_platform)
