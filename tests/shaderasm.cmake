# The shader assembler's tests call its library and run the program itself.
if(TARGET test_tools_shaderasm)
  target_link_libraries(test_tools_shaderasm PRIVATE shaderasm_io)
  add_dependencies(test_tools_shaderasm shaderasm)
endif()
