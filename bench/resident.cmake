add_executable(resident_bench ${CMAKE_CURRENT_SOURCE_DIR}/ResidentBench.cpp ${CMAKE_CURRENT_SOURCE_DIR}/SaverBenchSupport.cpp)
target_link_libraries(resident_bench PRIVATE lumora_capture lumora_cli lumora_platform_x11 JPEG::JPEG PkgConfig::XCB)
