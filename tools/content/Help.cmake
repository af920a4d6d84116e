# The puzzles' help page: the "Help" layout, its pictures (dark wood and brass, and each puzzle's
# board, drawn by the art tool from content/App/Art/Help/; the close button's plates from the
# item frame's description), listed in App/Configs/Help_Resources.xml. Its texts use the item
# frame's font.

set(help_dir ${HM_CONTENT_DIR}/App/Help)
set(help_textures ${help_dir}/Textures)
set(help_art ${CMAKE_SOURCE_DIR}/content/App/Art/Help)
set(help_pictures "")
hm_area_picture(help_pictures ${help_art} ${help_textures}/Help_Panel.bmp Panel.art)
set(help_button ../Frames/Button.art)  # the item frame's plates
hm_area_picture(help_pictures ${help_art} ${help_textures}/Help_Button.bmp ${help_button} --set "TOP=#f0cc70" --set "BOTTOM=#9a6a22")
hm_area_picture(help_pictures ${help_art} ${help_textures}/Help_ButtonOver.bmp ${help_button} --set "TOP=#f8e4a8" --set "BOTTOM=#c08a34")
hm_area_picture(help_pictures ${help_art} ${help_textures}/Help_ButtonClick.bmp ${help_button} --set "TOP=#9a6a22" --set "BOTTOM=#6a4a18")
hm_area_picture(help_pictures ${help_art} ${help_textures}/Help_ArrowLeft.bmp Arrow.art --set "POINTS=42 16 42 48 18 32")
hm_area_picture(help_pictures ${help_art} ${help_textures}/Help_ArrowRight.bmp Arrow.art --set "POINTS=22 16 22 48 46 32")

# Each puzzle's picture on its page: a small view of its board in a brass frame (Board1.art to
# Board8.art for the main story's puzzles in their order, CBoard1.art for the bonus chapter's).
foreach(page 1 2 3 4 5 6 7 8)
  hm_area_picture(help_pictures ${help_art} ${help_textures}/Help_Game${page}.bmp Board${page}.art)
endforeach()
hm_area_picture(help_pictures ${help_art} ${help_textures}/Help_CGame1.bmp CBoard1.art)

set(help_layout ${HM_CONTENT_DIR}/App/Layouts/Help.2dl)
add_custom_command(OUTPUT ${help_layout}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/App/Layouts/Help.2dl ${help_layout}
  DEPENDS ${CMAKE_SOURCE_DIR}/content/App/Layouts/Help.2dl VERBATIM)
set(help_list ${HM_CONTENT_DIR}/App/Configs/Help_Resources.xml)
add_custom_command(OUTPUT ${help_list}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/App/Configs/Help_Resources.xml ${help_list}
  DEPENDS ${CMAKE_SOURCE_DIR}/content/App/Configs/Help_Resources.xml VERBATIM)
set(help_files ${help_pictures} ${help_layout} ${help_list})

add_custom_target(help_content ALL DEPENDS ${help_files})
add_dependencies(content help_content)
