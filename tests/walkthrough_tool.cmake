# The walkthrough tool runs as a program in its tests; its pointer path is also tested on its own,
# against the game's pointer.
if(TARGET test_tools_walkthrough)
  target_sources(test_tools_walkthrough PRIVATE ${CMAKE_SOURCE_DIR}/tools/walkthrough/PointerPath.cpp)
  add_dependencies(test_tools_walkthrough walkthrough)
endif()
