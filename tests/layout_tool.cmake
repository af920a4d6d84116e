# The layout tool's tests run the program itself: build it before them.
if(TARGET test_tools_layout AND TARGET layout)
  add_dependencies(test_tools_layout layout)
endif()
