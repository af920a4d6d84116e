# The texture tool's tests use its writers and run the program itself.
if(TARGET test_tools_texture)
  target_link_libraries(test_tools_texture PRIVATE texture_io)
  add_dependencies(test_tools_texture texture)
endif()
