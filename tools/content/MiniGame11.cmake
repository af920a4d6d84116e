# The gear-train puzzle: its board "Game08" with the gears, axles and latch drawn by the art tool
# from content/App/Art/MiniGame11/ (made as the locations' are, by hm_layout_description of
# Locations.cmake), and its resource list. Its sounds are the story's, its effects in Game11.ptc.
set(minigame11_src ${CMAKE_SOURCE_DIR}/content/App)
hm_layout_description(${minigame11_src}/Layouts/Game08.txt minigame11)

set(minigame11_list ${HM_CONTENT_DIR}/App/Configs/MiniGame11_Resources.xml)
add_custom_command(OUTPUT ${minigame11_list}
  COMMAND ${CMAKE_COMMAND} -E copy ${minigame11_src}/Configs/MiniGame11_Resources.xml ${minigame11_list}
  DEPENDS ${minigame11_src}/Configs/MiniGame11_Resources.xml VERBATIM)

add_custom_target(minigame11_content ALL DEPENDS ${minigame11_layouts} ${minigame11_pictures} ${minigame11_list})
add_dependencies(content minigame11_content)
