add_executable(grab_bench ${CMAKE_CURRENT_SOURCE_DIR}/GrabBench.cpp)
target_link_libraries(grab_bench PRIVATE lumora_capture lumora_cli lumora_platform_x11 benchmark::benchmark PkgConfig::XCB)
