# The program tests start the real executable: build it before them.
if(TARGET test_Quor_DirectX)
  add_dependencies(test_Quor_DirectX hollowmere)
endif()
if(TARGET test_Framework)
  add_dependencies(test_Framework hollowmere)
endif()
