# The paint colour puzzle: its layout Game04 and pictures, the sixty pieces' masks the puzzle
# hit-tests with (Art/Environments/Game04/Textures/Temp/N.raw and N.tif, cut by the texture tool
# from the same pictures the pieces are drawn with), the four brush cursors
# (VFS/Cursors/cursor_01.cur .. cursor_04.cur, by hm_cursor_file of Cursors.cmake) and its
# resource list. The mosaic tool draws the window's pieces from the puzzle's own table of
# touching pieces: it writes the whole layout description (content/App/Layouts/Game04.txt with
# the pieces added), the background and one picture description a piece.
set(minigame4_src ${CMAKE_SOURCE_DIR}/content/App)
set(minigame4_template ${minigame4_src}/Layouts/Game04.txt)
set(minigame4_art ${minigame4_src}/Art/Game04)
set(minigame4_work ${CMAKE_CURRENT_BINARY_DIR}/minigame4)
set(minigame4_folder ${HM_CONTENT_DIR}/Art/Environments/Game04)
set(minigame4_masks_dir ${minigame4_folder}/Textures/Temp)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${minigame4_template})

set(minigame4_drawn ${minigame4_work}/Game04.txt ${minigame4_work}/Background.art)
foreach(piece RANGE 1 60)
  list(APPEND minigame4_drawn ${minigame4_work}/Piece${piece}.art)
endforeach()
add_custom_command(OUTPUT ${minigame4_drawn}
  COMMAND $<TARGET_FILE:mosaic> ${minigame4_template} ${minigame4_art}/Background.art ${minigame4_work}
  DEPENDS mosaic ${minigame4_template} ${minigame4_art}/Background.art
  COMMENT "Drawing the paint puzzle's mosaic" VERBATIM)

# The template's own pictures, the background and the pieces with their masks.
set(minigame4_pictures ${minigame4_folder}/Game04.dctz)
set(minigame4_arts ${minigame4_drawn})
hm_location_background(${minigame4_folder}/Game04.dctz ${minigame4_work}/Background.art)
file(STRINGS ${minigame4_template} minigame4_sprites REGEX "^sprite[ \t]")
foreach(line IN LISTS minigame4_sprites)
  string(REGEX REPLACE "[ \t]+" ";" words "${line}")
  hm_layout_sprite("${words}" ${minigame4_folder} ${minigame4_art} minigame4_pictures minigame4_arts)
endforeach()
set(minigame4_masks "")
foreach(piece RANGE 1 60)
  set(art ${minigame4_work}/Piece${piece}.art)
  hm_location_sprite(${minigame4_folder} root/${piece} ${art})
  list(APPEND minigame4_pictures ${minigame4_folder}/root/${piece}.mpt ${minigame4_folder}/root/${piece}.msk)
  set(picture ${minigame4_work}/${piece}.png)
  set(raw ${minigame4_masks_dir}/${piece}.raw)
  set(tiff ${minigame4_masks_dir}/${piece}.tif)
  add_custom_command(OUTPUT ${raw} ${tiff} BYPRODUCTS ${picture}
    COMMAND $<TARGET_FILE:art> ${art} ${picture}
    COMMAND $<TARGET_FILE:texture> region ${picture} ${raw} ${tiff}
    DEPENDS art texture ${art} VERBATIM)
  list(APPEND minigame4_masks ${raw} ${tiff})
endforeach()

set(minigame4_layouts ${HM_CONTENT_DIR}/App/Layouts/Game04.2dl)
list(REMOVE_DUPLICATES minigame4_arts)
add_custom_command(OUTPUT ${minigame4_layouts}
  COMMAND $<TARGET_FILE:layout> ${minigame4_work}/Game04.txt ${HM_CONTENT_DIR}/App/Layouts
  DEPENDS layout ${minigame4_arts}
  COMMENT "Making the layout Game04" VERBATIM)

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
