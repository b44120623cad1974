add_executable(windows_bench ${CMAKE_CURRENT_SOURCE_DIR}/WindowsBench.cpp)
target_link_libraries(windows_bench PRIVATE lumora_selection lumora_platform_x11 benchmark::benchmark PkgConfig::XCB)
