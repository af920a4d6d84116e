# The paint colour puzzle: its layout and pictures from content/App/Layouts/Game04.txt (made as
# the locations' are, by hm_layout_description of Locations.cmake), the sixty pieces' masks the
# puzzle hit-tests with (Art/Environments/Game04/Textures/Temp/N.raw and N.tif, cut by the
# texture tool from the same pictures the pieces are drawn with), the four brush cursors
# (VFS/Cursors/cursor_01.cur .. cursor_04.cur, by hm_cursor_file of Cursors.cmake) and its
# resource list.
set(minigame4_src ${CMAKE_SOURCE_DIR}/content/App)
set(minigame4_layout ${minigame4_src}/Layouts/Game04.txt)
hm_layout_description(${minigame4_layout} minigame4)

set(minigame4_masks_dir ${HM_CONTENT_DIR}/Art/Environments/Game04/Textures/Temp)
set(minigame4_work ${CMAKE_CURRENT_BINARY_DIR}/minigame4)
set(minigame4_masks "")
file(STRINGS ${minigame4_layout} minigame4_pieces REGEX "^sprite[ \t]+root/[0-9]+[ \t]")
foreach(line IN LISTS minigame4_pieces)
  string(REGEX REPLACE "[ \t]+" ";" words "${line}")
  list(GET words 1 name)
  string(REPLACE "root/" "" piece ${name})
  list(SUBLIST words 8 -1 values)
  list(TRANSFORM values PREPEND "--set;")
  set(picture ${minigame4_work}/${piece}.png)
  set(raw ${minigame4_masks_dir}/${piece}.raw)
  set(tiff ${minigame4_masks_dir}/${piece}.tif)
  add_custom_command(OUTPUT ${raw} ${tiff}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${minigame4_work} ${minigame4_masks_dir}
    COMMAND $<TARGET_FILE:art> ${minigame4_src}/Art/Game04/Region.art ${picture} ${values}
    COMMAND $<TARGET_FILE:texture> region ${picture} ${raw} ${tiff}
    DEPENDS art texture ${minigame4_src}/Art/Game04/Region.art VERBATIM)
  list(APPEND minigame4_masks ${raw} ${tiff})
endforeach()

# Red, green, blue and yellow brushes, their tip the hot spot (the puzzle loads them as
# red 01, blue 03, green 02, yellow 04).
set(cursor_outputs "")
set(minigame4_brush ../../../App/Art/Game04/Brush.art)
hm_cursor_file(cursor_01 6 58 ${minigame4_brush} --set "PAINT=#c02818")
hm_cursor_file(cursor_02 6 58 ${minigame4_brush} --set "PAINT=#1c8a2c")
hm_cursor_file(cursor_03 6 58 ${minigame4_brush} --set "PAINT=#1838b8")
hm_cursor_file(cursor_04 6 58 ${minigame4_brush} --set "PAINT=#d8b818")

set(minigame4_list ${HM_CONTENT_DIR}/App/Configs/MiniGame4_Resources.xml)
add_custom_command(OUTPUT ${minigame4_list}
  COMMAND ${CMAKE_COMMAND} -E copy ${minigame4_src}/Configs/MiniGame4_Resources.xml ${minigame4_list}
  DEPENDS ${minigame4_src}/Configs/MiniGame4_Resources.xml VERBATIM)

add_custom_target(minigame4_content ALL
  DEPENDS ${minigame4_layouts} ${minigame4_pictures} ${minigame4_masks} ${cursor_outputs} ${minigame4_list})
add_dependencies(content minigame4_content)
