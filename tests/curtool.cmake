# The cursor reader's tests write their fixtures with curtool's writer.
foreach(test_program test_Quor test_Src_Investigation)
  if(TARGET ${test_program})
    target_link_libraries(${test_program} PRIVATE curtool_io)
  endif()
endforeach()
