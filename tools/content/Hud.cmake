# The heads-up display: its layouts "HUD" and "Items", its pictures drawn by the art tool from
# content/App/Art/Hud/ in the house's dark wood and brass, and its font "HiddenObjects".
set(hud_dir ${HM_CONTENT_DIR}/App/Hud)
set(hud_textures ${hud_dir}/Textures)
set(hud_art ${CMAKE_SOURCE_DIR}/content/App/Art/Hud)
set(hud_files "")
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudBar.bmp Bar.art)
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudMoon.bmp Moon.art)
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudGauge.bmp Gauge.art)
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudGaugeFrame.bmp GaugeFrame.art)
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudGaugeFill.mpt GaugeFill.art)
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudCompass.bmp Compass.art)
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudCompassArrow.bmp CompassArrow.art)
set(hud_left_points "POINTS=28 4 4 32 28 60 28 46 18 32 28 18")
set(hud_right_points "POINTS=4 4 28 32 4 60 4 46 14 32 4 18")
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudLeftArrowInactive.bmp Arrow.art --set SIDE=left --set "TONE=#c8a050" --set ${hud_left_points})
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudLeftArrowActive.bmp Arrow.art --set SIDE=left --set "TONE=#fff0b0" --set ${hud_left_points})
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudRightArrowInactive.bmp Arrow.art --set SIDE=right --set "TONE=#c8a050" --set ${hud_right_points})
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudRightArrowActive.bmp Arrow.art --set SIDE=right --set "TONE=#fff0b0" --set ${hud_right_points})
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudTable.bmp Table.art)
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudBook.mpt Book.art)
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudGlow.bmp Glow.art)
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudOutline.bmp Outline.art --set "RIM=#9a6a22")
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudOutlineActive.bmp Outline.art --set "RIM=#f8d888")
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudBubbleMiddle.bmp Bubble.art --set SHAPE=middle --set WIDTH=16
  --set "OUTER=0 0 16 32" --set "INNER=0 3 16 26")
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudBubbleLeft.bmp Bubble.art --set SHAPE=left --set WIDTH=16
  --set "OUTER=0 0 40 32 14" --set "INNER=3 3 40 26 11")
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudBubbleRight.bmp Bubble.art --set SHAPE=right --set WIDTH=16
  --set "OUTER=-24 0 40 32 14" --set "INNER=-24 3 37 26 11")
hm_area_picture(hud_files ${hud_art} ${hud_textures}/HudBubbleTail.bmp BubbleTail.art)
hm_area_picture(hud_files ${hud_art} ${hud_textures}/Stroke.bmp Stroke.art)
hm_area_picture(hud_files ${hud_art} ${hud_textures}/Items.mpt Items.art)

# The empty slot is a JPT picture: drawn, then encoded.
set(hud_slot_png ${CMAKE_CURRENT_BINARY_DIR}/hud/EmptyInventorySlot.png)
add_custom_command(OUTPUT ${hud_textures}/EmptyInventorySlot.jpt BYPRODUCTS ${hud_slot_png}
  COMMAND $<TARGET_FILE:art> ${hud_art}/Slot.art ${hud_slot_png}
  COMMAND $<TARGET_FILE:texture> encode ${hud_slot_png} ${hud_textures}/EmptyInventorySlot.jpt
  DEPENDS art texture ${hud_art}/Slot.art VERBATIM)
list(APPEND hud_files ${hud_textures}/EmptyInventorySlot.jpt)

# The font of the bar's texts, the note line and the hidden-object list.
add_custom_command(OUTPUT ${hud_dir}/Fonts/HiddenObjects.fnt
  COMMAND $<TARGET_FILE:fontmaker> ${HM_CONTENT_FONT} ${hud_dir}/Fonts/HiddenObjects.fnt --size 24 --chars latin,cyrillic
  DEPENDS fontmaker VERBATIM)
list(APPEND hud_files ${hud_dir}/Fonts/HiddenObjects.fnt)

foreach(layout HUD Items)
  set(source ${CMAKE_SOURCE_DIR}/content/App/Layouts/${layout}.2dl)
  add_custom_command(OUTPUT ${hud_dir}/${layout}.2dl
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${hud_dir}/${layout}.2dl DEPENDS ${source} VERBATIM)
  list(APPEND hud_files ${hud_dir}/${layout}.2dl)
endforeach()

add_custom_target(hud_content ALL DEPENDS ${hud_files})
add_dependencies(content hud_content)
