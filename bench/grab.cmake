add_executable(grab_bench ${CMAKE_CURRENT_SOURCE_DIR}/GrabBench.cpp)
target_link_libraries(grab_bench PRIVATE lumora_capture benchmark::benchmark PkgConfig::XCB)
