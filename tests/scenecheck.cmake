# The sample scene description names only what the content holds, and each place's layout holds
# every sprite the description names for it; the tool's own test runs it on descriptions with
# faults.
add_test(NAME scene_description_check
  COMMAND scenecheck ${CMAKE_BINARY_DIR}/content/App/Configs/GameInfo.xml ${CMAKE_BINARY_DIR}/content --layouts)
if(TARGET test_tools_scenecheck)
  add_dependencies(test_tools_scenecheck scenecheck)
endif()
