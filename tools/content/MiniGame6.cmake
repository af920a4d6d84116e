# The puzzle G06: its layout "Game06" and pictures from the layout description
# content/App/Layouts/Game06.txt (made as the locations' are, by hm_layout_description of
# Locations.cmake) and its resource list. Its effects and sounds are the story's own.
hm_layout_description(${CMAKE_SOURCE_DIR}/content/App/Layouts/Game06.txt minigame6)

set(minigame6_list ${HM_CONTENT_DIR}/App/Configs/MiniGame6_Resources.xml)
add_custom_command(OUTPUT ${minigame6_list}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/App/Configs/MiniGame6_Resources.xml ${minigame6_list}
  DEPENDS ${CMAKE_SOURCE_DIR}/content/App/Configs/MiniGame6_Resources.xml VERBATIM)

add_custom_target(minigame6_content ALL DEPENDS ${minigame6_layouts} ${minigame6_pictures} ${minigame6_list})
add_dependencies(content minigame6_content)
