# The main story's state: its fonts "Main" and "DiaryRu" (with Cyrillic for the Russian pages;
# "HiddenObjects" comes with the heads-up display) and the blur material the frozen screen is
# drawn with. The scene description and the effects are made above.
set(game_fonts ${HM_CONTENT_DIR}/Fonts/Main.fnt ${HM_CONTENT_DIR}/Fonts/DiaryRu.fnt)
add_custom_command(
  OUTPUT ${game_fonts}
  COMMAND $<TARGET_FILE:fontmaker> ${HM_CONTENT_FONT} ${HM_CONTENT_DIR}/Fonts/Main.fnt --size 24 --chars latin
  COMMAND $<TARGET_FILE:fontmaker> ${HM_CONTENT_FONT} ${HM_CONTENT_DIR}/Fonts/DiaryRu.fnt --size 22
    --chars latin,cyrillic
  DEPENDS fontmaker
  COMMENT "Making the main story's fonts"
  VERBATIM)
set(blur_material ${HM_CONTENT_DIR}/Art/Mats/Blur.mat)
add_custom_command(OUTPUT ${blur_material}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/Art/Mats/Blur.mat ${blur_material}
  DEPENDS ${CMAKE_SOURCE_DIR}/content/Art/Mats/Blur.mat VERBATIM)
add_custom_target(game_state_assets ALL DEPENDS ${game_fonts} ${blur_material})
add_dependencies(content game_state_assets)
