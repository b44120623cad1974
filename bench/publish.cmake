add_executable(publish_bench ${CMAKE_CURRENT_SOURCE_DIR}/PublishBench.cpp)
target_link_libraries(publish_bench PRIVATE lumora_platform_fs Qt6::Core benchmark::benchmark)
