# The puzzles' help page: the "Help" layout, its pictures (dark wood and brass, drawn by the art
# tool from content/App/Art/Help/; the close button's plates from the item frame's
# description), listed in App/Configs/Help_Resources.xml. Its texts use the item frame's font.

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

# Each puzzle's emblem on its page, in an accent of its own.
set(help_emblems
  "Help_Game1|#f0a840|60 112 112 112 112 60 144 60 144 112 196 112 196 144 144 144 144 196 112 196 112 144 60 144"
  "Help_Game2|#c8b894|48 48 208 48 208 120 120 120 120 208 48 208"
  "Help_Game3|#9ac8a0|128 40 216 128 128 216 40 128 96 128 128 160 160 128 128 96 96 128 40 128"
  "Help_Game4|#e07850|128 36 150 104 220 104 164 146 186 216 128 174 70 216 92 146 36 104 106 104"
  "Help_Game5|#7fa8e0|128 40 208 90 208 166 128 216 48 166 48 90"
  "Help_Game6|#f8e4a8|112 40 144 40 160 120 144 176 144 216 112 216 112 176 96 120"
  "Help_Game7|#b888d0|40 40 216 40 216 72 72 72 72 184 184 184 184 104 216 104 216 216 40 216"
  "Help_Game8|#f0cc70|128 32 144 112 224 128 144 144 128 224 112 144 32 128 112 112"
  "Help_CGame1|#d09858|128 40 200 80 216 160 160 216 96 216 40 160 56 80")
foreach(emblem ${help_emblems})
  string(REPLACE "|" ";" parts "${emblem}")
  list(GET parts 0 name)
  list(GET parts 1 accent)
  list(GET parts 2 shape)
  hm_area_picture(help_pictures ${help_art} ${help_textures}/${name}.bmp Puzzle.art --set "ACCENT=${accent}" --set "SHAPE=${shape}")
endforeach()

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
