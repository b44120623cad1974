add_executable(selection_bench ${CMAKE_CURRENT_SOURCE_DIR}/SelectionBench.cpp)
target_link_libraries(selection_bench PRIVATE lumora_selection benchmark::benchmark)
