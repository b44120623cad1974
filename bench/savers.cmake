add_executable(saver_bench ${CMAKE_CURRENT_SOURCE_DIR}/SaverBench.cpp ${CMAKE_CURRENT_SOURCE_DIR}/SaverBenchSupport.cpp)
target_link_libraries(saver_bench PRIVATE lumora_capture lumora_cli JPEG::JPEG benchmark::benchmark)

add_executable(saver_memory ${CMAKE_CURRENT_SOURCE_DIR}/SaverMemory.cpp ${CMAKE_CURRENT_SOURCE_DIR}/SaverBenchSupport.cpp)
target_link_libraries(saver_memory PRIVATE lumora_capture lumora_cli)
