# The program tests start the real executable: build it before them.
if(TARGET test_Quor_DirectX)
  add_dependencies(test_Quor_DirectX hollowmere)
endif()
