# The particle tests make their effect files with ptctool's writer; the tool's own test runs it.
foreach(test_program test_Particles test_Src_World test_Src_Location test_Src_Investigation test_Src_MiniGames test_tools_ptctool)
  if(TARGET ${test_program})
    target_link_libraries(${test_program} PRIVATE ptctool_io)
  endif()
endforeach()
if(TARGET test_tools_ptctool)
  target_link_libraries(test_tools_ptctool PRIVATE texture_io)
  add_dependencies(test_tools_ptctool ptctool)
endif()
# The content test loads every effect the build makes; the scenes' and the playing states' tests
# read the content the build makes.
foreach(test_program test_Src_World test_Src_Location test_Src_Game)
  if(TARGET ${test_program} AND TARGET content)
    add_dependencies(${test_program} content)
  endif()
endforeach()
# The puzzles' content tests draw what the build makes.
if(TARGET test_Src_MiniGames AND TARGET content)
  add_dependencies(test_Src_MiniGames content)
endif()
