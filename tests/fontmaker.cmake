# The fontmaker tests run the program itself: build it before them.
if(TARGET test_tools_fontmaker AND TARGET fontmaker)
  add_dependencies(test_tools_fontmaker fontmaker)
endif()
