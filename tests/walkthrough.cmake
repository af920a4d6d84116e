# The walkthrough tool's test runs the tool: build it first.
if(TARGET test_tools_walkthrough)
  add_dependencies(test_tools_walkthrough walkthrough)
endif()
