# The main menu's language box: its layout "LanguageMenu" (content/App/Layouts/LanguageMenu.2dl,
# entered in the menu's resource list) and its pictures, drawn from content/App/Art/Language/
# (the five flags, each also dimmed for while it is not chosen, and their seats) and the title
# screen's button plate for OK.

set(language_art ${CMAKE_SOURCE_DIR}/content/App/Art/Language)
set(language_textures ${HM_CONTENT_DIR}/App/Menu/Textures)
set(language_files "")
set(lit_rim --set "RIM=#f0cc70")
set(dim_rim --set "RIM=#6a4a2a")
# Name, drawing, colours lit, colours dimmed.
foreach(flag
    "EN|FlagCross.art|A=#f4f0e8|B=#c8102e|A=#5a5850|B=#4a2a2a"
    "FR|FlagVertical.art|A=#0055a4|B=#f4f0e8|C=#ef4135|A=#2a3040|B=#5a5850|C=#4a2a2a"
    "IT|FlagVertical.art|A=#009246|B=#f4f0e8|C=#ce2b37|A=#2a402e|B=#5a5850|C=#4a2a2a"
    "ES|FlagHorizontal.art|A=#aa151b|B=#f1bf00|C=#aa151b|A=#4a2a2a|B=#5a5030|C=#4a2a2a"
    "DE|FlagHorizontal.art|A=#1a1a1a|B=#dd0000|C=#ffce00|A=#1a1a1a|B=#4a2a2a|C=#5a5030")
  string(REPLACE "|" ";" flag "${flag}")
  list(GET flag 0 name)
  list(GET flag 1 drawing)
  list(LENGTH flag count)
  math(EXPR half "(${count} - 2) / 2")
  set(lit "")
  set(dim "")
  foreach(i RANGE 1 ${half})
    math(EXPR lit_index "1 + ${i}")
    math(EXPR dim_index "1 + ${half} + ${i}")
    list(GET flag ${lit_index} colour)
    list(APPEND lit --set ${colour})
    list(GET flag ${dim_index} colour)
    list(APPEND dim --set ${colour})
  endforeach()
  hm_area_picture(language_files ${language_art} ${language_textures}/Lang_${name}.bmp ${drawing} ${lit} ${lit_rim})
  hm_area_picture(language_files ${language_art} ${language_textures}/Lang_${name}_inactive.bmp ${drawing} ${dim}
    ${dim_rim})
endforeach()
hm_area_picture(language_files ${language_art} ${language_textures}/Lang_Slot.bmp Slot.art)
set(menu_plate ${CMAKE_SOURCE_DIR}/content/App/Art/Menu)
hm_area_picture(language_files ${menu_plate} ${language_textures}/Lang_Ok.bmp ButtonPlate.art
  --set "RIM=#9a6a22" --set "TOP=#4a3220" --set "BOTTOM=#2a1c10")
hm_area_picture(language_files ${menu_plate} ${language_textures}/Lang_OkOver.bmp ButtonPlate.art
  --set "RIM=#f8d888" --set "TOP=#6a4a2a" --set "BOTTOM=#3b2716")
hm_area_picture(language_files ${menu_plate} ${language_textures}/Lang_OkClicked.bmp ButtonPlate.art
  --set "RIM=#c08a34" --set "TOP=#2a1c10" --set "BOTTOM=#1e140a")
hm_area_picture(language_files ${CMAKE_SOURCE_DIR}/content/App/Art/Help ${language_textures}/Lang_Panel.bmp
  Panel.art)

set(language_layout ${HM_CONTENT_DIR}/App/Layouts/LanguageMenu.2dl)
add_custom_command(OUTPUT ${language_layout}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/App/Layouts/LanguageMenu.2dl ${language_layout}
  DEPENDS ${CMAKE_SOURCE_DIR}/content/App/Layouts/LanguageMenu.2dl VERBATIM)
list(APPEND language_files ${language_layout})

add_custom_target(language_menu_content ALL DEPENDS ${language_files})
add_dependencies(content language_menu_content)
