# The cursor reader's tests write their fixtures with curtool's writer; the cursor set's tests
# read the cursor content the build makes.
foreach(test_program test_Quor test_Src_Investigation)
  if(TARGET ${test_program})
    target_link_libraries(${test_program} PRIVATE curtool_io)
  endif()
endforeach()
if(TARGET test_Src_Investigation AND TARGET content)
  add_dependencies(test_Src_Investigation content)
endif()
# The tool's own test runs it on a picture it writes with the texture tool's PNG writer.
if(TARGET test_tools_curtool)
  target_link_libraries(test_tools_curtool PRIVATE texture_io)
  add_dependencies(test_tools_curtool curtool)
endif()
