# The effect tests make their ".fxc" files with fxtool's writer; the tool's own tests also
# run the program.
foreach(test_target test_Quor_DirectX test_Quor_DirectX_Shaders test_tools_fxtool)
  if(TARGET ${test_target})
    target_link_libraries(${test_target} PRIVATE fxtool_io)
  endif()
endforeach()
if(TARGET test_tools_fxtool AND TARGET fxtool)
  add_dependencies(test_tools_fxtool fxtool)
endif()
