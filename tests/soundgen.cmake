# The soundgen tests run the program itself: build it before them.
if(TARGET test_tools_soundgen AND TARGET soundgen)
  add_dependencies(test_tools_soundgen soundgen)
endif()
