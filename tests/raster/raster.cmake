lumora_test(raster_test PixelOpsTest.cpp MaskOpsTest.cpp RasterPenTest.cpp LIBS lumora_raster)
