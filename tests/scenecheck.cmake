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
# Everything a player clicks, in every place, close-up, search and puzzle, can be reached on every
# screen shape.
add_test(NAME reach_check
  COMMAND scenecheck ${CMAKE_BINARY_DIR}/content/App/Configs/GameInfo.xml ${CMAKE_BINARY_DIR}/content --reach)
add_test(NAME bonus_reach_check
  COMMAND scenecheck ${CMAKE_BINARY_DIR}/content/App/Configs/Collectors/CollectorsGameInfo.xml ${CMAKE_BINARY_DIR}/content
    --bonus --reach)
if(TARGET test_tools_scenecheck)
  target_sources(test_tools_scenecheck PRIVATE ${CMAKE_SOURCE_DIR}/tools/scenecheck/Reach.cpp
                                               ${CMAKE_SOURCE_DIR}/tools/scenecheck/Cover.cpp
                                               ${CMAKE_SOURCE_DIR}/tools/scenecheck/Surfaces.cpp)
  add_dependencies(test_tools_scenecheck scenecheck)
endif()
# Every thing to find in a search, the story's and the bonus chapter's, is partly covered: it
# shows 35 % to 90 % of itself.
add_test(NAME search_cover_check
  COMMAND scenecheck ${CMAKE_BINARY_DIR}/content/App/Configs/GameInfo.xml ${CMAKE_BINARY_DIR}/content --cover)
add_test(NAME bonus_search_cover_check
  COMMAND scenecheck ${CMAKE_BINARY_DIR}/content/App/Configs/Collectors/CollectorsGameInfo.xml ${CMAKE_BINARY_DIR}/content
    --bonus --cover)
# Every picture of the story's search rooms stands on a shelf, table, chest or the floor its room
# declares, or hangs from a rail.
add_test(NAME search_surface_check
  COMMAND scenecheck ${CMAKE_BINARY_DIR}/content/App/Configs/GameInfo.xml ${CMAKE_BINARY_DIR}/content
    --surfaces ${CMAKE_SOURCE_DIR}/content/App/Layouts/HiddenObjects.txt)
