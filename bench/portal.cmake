# Needs the Wayland test desktop of the test support library.
if(TARGET lumora_test_support)
  add_executable(portal_compare ${CMAKE_CURRENT_SOURCE_DIR}/PortalCompare.cpp)
  target_link_libraries(portal_compare PRIVATE lumora_test_support)
  target_compile_definitions(portal_compare PRIVATE LUMORA_BINARY="$<TARGET_FILE:lumora>")
  add_dependencies(portal_compare lumora)
endif()
