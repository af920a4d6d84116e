# The sample scene descriptions (the main story's and the bonus chapter's) name only what the
# content holds, each place's layout holds every sprite the description names for it, and every
# note is a phrase of the game's dictionary; the tool's own test runs it on descriptions with
# faults.
add_test(NAME scene_description_check
  COMMAND scenecheck ${CMAKE_BINARY_DIR}/content/App/Configs/GameInfo.xml ${CMAKE_BINARY_DIR}/content --layouts
    --dictionary ${CMAKE_BINARY_DIR}/content/App/Configs/GameDictionary.xml)
add_test(NAME bonus_scene_description_check
  COMMAND scenecheck ${CMAKE_BINARY_DIR}/content/App/Configs/Collectors/CollectorsGameInfo.xml ${CMAKE_BINARY_DIR}/content
    --bonus --layouts --dictionary ${CMAKE_BINARY_DIR}/content/App/Configs/GameDictionary.xml)
# Every puzzle's pieces and way back can be clicked on every screen shape.
add_test(NAME puzzle_reach_check
  COMMAND scenecheck ${CMAKE_BINARY_DIR}/content/App/Configs/GameInfo.xml ${CMAKE_BINARY_DIR}/content --reach=puzzles)
add_test(NAME bonus_puzzle_reach_check
  COMMAND scenecheck ${CMAKE_BINARY_DIR}/content/App/Configs/Collectors/CollectorsGameInfo.xml ${CMAKE_BINARY_DIR}/content
    --bonus --reach=puzzles)
if(TARGET test_tools_scenecheck)
  target_sources(test_tools_scenecheck PRIVATE ${CMAKE_SOURCE_DIR}/tools/scenecheck/Reach.cpp)
  add_dependencies(test_tools_scenecheck scenecheck)
endif()
