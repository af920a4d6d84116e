# The puzzle G05: its layout "Game05" and pictures from the layout description
# content/App/Layouts/Game05.txt (made as the locations' are, by hm_layout_description of
# Locations.cmake) and its resource list. Its effects and sounds are the story's own.
hm_layout_description(${CMAKE_SOURCE_DIR}/content/App/Layouts/Game05.txt minigame5)

set(minigame5_list ${HM_CONTENT_DIR}/App/Configs/MiniGame5_Resources.xml)
add_custom_command(OUTPUT ${minigame5_list}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/App/Configs/MiniGame5_Resources.xml ${minigame5_list}
  DEPENDS ${CMAKE_SOURCE_DIR}/content/App/Configs/MiniGame5_Resources.xml VERBATIM)

add_custom_target(minigame5_content ALL DEPENDS ${minigame5_layouts} ${minigame5_pictures} ${minigame5_list})
add_dependencies(content minigame5_content)
