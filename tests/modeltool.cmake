# The animation and atlas tests make their files with modeltool's writers; the tool's own
# tests also run the program.
foreach(test_target test_Quor test_Quor_DirectX_Shaders test_tools_modeltool)
  if(TARGET ${test_target})
    target_link_libraries(${test_target} PRIVATE modeltool_io)
  endif()
endforeach()
if(TARGET test_tools_modeltool AND TARGET modeltool)
  add_dependencies(test_tools_modeltool modeltool)
endif()
