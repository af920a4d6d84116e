# The jewel box: its layout "Game01" and pictures from content/App/Layouts/Game01.txt, drawn by
# the art tool from content/App/Art/MiniGame1/ (the sprite statements are read as the
# locations' are, Locations.cmake), and the two thread textures, listed in
# App/Configs/MiniGame1_Resources.xml.
set(game1_art ${CMAKE_SOURCE_DIR}/content/App/Art/MiniGame1)
set(game1_folder ${HM_CONTENT_DIR}/Art/Environments/Game01)
hm_described_layout(game1_pictures ${CMAKE_SOURCE_DIR}/content/App/Layouts/Game01.txt ${game1_art} ${game1_folder} Game01)

# The threads: gold once both colours are in, dull grey before.
hm_area_picture(game1_pictures ${game1_art} ${game1_folder}/Textures/Connector_active.bmp Connector.art
  --set "COLOUR=#f0cc70" --set "EDGE=#6a4a18")
hm_area_picture(game1_pictures ${game1_art} ${game1_folder}/Textures/Connector_inactive.bmp Connector.art
  --set "COLOUR=#8a8070" --set "EDGE=#3b2716")

set(game1_list ${HM_CONTENT_DIR}/App/Configs/MiniGame1_Resources.xml)
add_custom_command(OUTPUT ${game1_list}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/App/Configs/MiniGame1_Resources.xml ${game1_list}
  DEPENDS ${CMAKE_SOURCE_DIR}/content/App/Configs/MiniGame1_Resources.xml VERBATIM)

add_custom_target(minigame1_content ALL
  DEPENDS ${game1_pictures} ${game1_list})
add_dependencies(content minigame1_content)
