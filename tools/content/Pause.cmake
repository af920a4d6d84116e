# The playing states' pause menu: its layout "Pause" (copied with the shared state lists) and
# its pictures, the panel drawn from content/App/Art/Pause/ and the buttons' outlines from the
# title screen's button plate.

set(pause_textures ${HM_CONTENT_DIR}/App/Pause/Textures)
set(pause_files "")
hm_area_picture(pause_files ${CMAKE_SOURCE_DIR}/content/App/Art/Pause ${pause_textures}/Pause_Panel.bmp Panel.art)
hm_area_picture(pause_files ${CMAKE_SOURCE_DIR}/content/App/Art/Menu ${pause_textures}/Pause_Outline.bmp
  ButtonPlate.art --set "RIM=#9a6a22" --set "TOP=#4a3220" --set "BOTTOM=#2a1c10")
hm_area_picture(pause_files ${CMAKE_SOURCE_DIR}/content/App/Art/Menu ${pause_textures}/Pause_OutlineActive.bmp
  ButtonPlate.art --set "RIM=#f8d888" --set "TOP=#6a4a2a" --set "BOTTOM=#3b2716")

add_custom_target(pause_content ALL DEPENDS ${pause_files})
add_dependencies(content pause_content)
