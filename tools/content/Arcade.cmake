# The bonus chapter's arcade machine: its layout (known to the chapter as "Game01") with the
# cabinet, monitor, blocks, lamps and coin drawn by the art tool from content/App/Art/Arcade/
# (made as the locations' are, by hm_layout_description of Locations.cmake), its four sounds
# from the recipe table content/App/Sounds/Arcade.txt, the coin's inventory picture and its
# resource list, which the bonus chapter's list includes. Its effects are
# Collectors/Game01/Effects/G01.ptc.
set(arcade_src ${CMAKE_SOURCE_DIR}/content/App)
hm_layout_description(${arcade_src}/Layouts/Collectors/ArcadeGame01.txt arcade)

set(arcade_sound_table ${arcade_src}/Sounds/Arcade.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${arcade_sound_table})
hm_recipe_names(${arcade_sound_table} ${HM_CONTENT_DIR}/App/Sounds arcade_sounds)
add_custom_command(OUTPUT ${arcade_sounds}
  COMMAND $<TARGET_FILE:soundgen> table ${arcade_sound_table} ${HM_CONTENT_DIR}/App/Sounds
  DEPENDS soundgen ${arcade_sound_table} VERBATIM)

set(arcade_list ${HM_CONTENT_DIR}/App/Configs/Collectors/Arcade_Resources.xml)
add_custom_command(OUTPUT ${arcade_list}
  COMMAND ${CMAKE_COMMAND} -E copy ${arcade_src}/Configs/Collectors/Arcade_Resources.xml ${arcade_list}
  DEPENDS ${arcade_src}/Configs/Collectors/Arcade_Resources.xml VERBATIM)

# The coin's cell of the "Items" layout, once the player has taken it.
set(arcade_coin_item ${HM_CONTENT_DIR}/App/Hud/Textures/G01_Coin.mpt)
hm_location_background(${arcade_coin_item} ${arcade_src}/Art/Arcade/Coin.art)

add_custom_target(arcade_content ALL
  DEPENDS ${arcade_layouts} ${arcade_pictures} ${arcade_sounds} ${arcade_list} ${arcade_coin_item})
add_dependencies(content arcade_content)
