# The pipes puzzle: its layout "Game07" with the board's pieces, the reservoir, the liquid's
# animations and the backdrop, from content/App/Layouts/Game07.txt (read as the locations' layouts
# are, Locations.cmake). Its sounds and leak effects are the story's own.
hm_layout_description(${CMAKE_SOURCE_DIR}/content/App/Layouts/Game07.txt minigame7)

set(minigame7_list ${HM_CONTENT_DIR}/App/Configs/MiniGame7_Resources.xml)
add_custom_command(OUTPUT ${minigame7_list}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/App/Configs/MiniGame7_Resources.xml ${minigame7_list}
  DEPENDS ${CMAKE_SOURCE_DIR}/content/App/Configs/MiniGame7_Resources.xml VERBATIM)

add_custom_target(minigame7_content ALL DEPENDS ${minigame7_layouts} ${minigame7_pictures} ${minigame7_list})
add_dependencies(content minigame7_content)
