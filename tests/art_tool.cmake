# The art tool's tests use its reader and painter and run the program itself.
if(TARGET test_tools_art)
  target_link_libraries(test_tools_art PRIVATE art_painting)
  add_dependencies(test_tools_art art)
endif()
