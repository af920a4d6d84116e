# The main menu's options and help boxes: the layout "Options" (two volume sliders, two tick
# boxes, OK and back), the help's frame "HelpMenu" and its nine pages "Page1".."Page9" (made
# from one template, each with a picture of the game's own), and their pictures in the menu's dark wood and brass, drawn by the art
# tool from content/App/Art/Options/ (the panels, buttons and arrows share the puzzle help's and
# the item frame's descriptions). The menu's list names them; their texts use the menu's font.

set(options_art ${CMAKE_SOURCE_DIR}/content/App/Art/Options)
set(options_textures ${HM_CONTENT_DIR}/App/Options/Textures)
set(options_files "")
macro(options_picture name description)
  hm_area_picture(options_files ${options_art} ${options_textures}/${name}.bmp ${description} ${ARGN})
endmacro()
options_picture(Opt_Panel ../Help/Panel.art)
options_picture(Opt_Button ../Frames/Button.art --set "TOP=#f0cc70" --set "BOTTOM=#9a6a22")
options_picture(Opt_ButtonOver ../Frames/Button.art --set "TOP=#f8e4a8" --set "BOTTOM=#c08a34")
options_picture(Opt_ButtonClick ../Frames/Button.art --set "TOP=#9a6a22" --set "BOTTOM=#6a4a18")
options_picture(Opt_Trough Trough.art)
options_picture(Opt_Fill Fill.art --set "TOP=#f0cc70" --set "BOTTOM=#9a6a22")
options_picture(Opt_Handle Handle.art --set "TOP=#f0cc70" --set "BOTTOM=#9a6a22")
options_picture(Opt_HandleActive Handle.art --set "TOP=#f8e4a8" --set "BOTTOM=#c08a34")
options_picture(Opt_Box Box.art)
options_picture(Opt_Tick Tick.art)
options_picture(Opt_ArrowLeft ../Help/Arrow.art --set "POINTS=42 16 42 48 18 32")
options_picture(Opt_ArrowRight ../Help/Arrow.art --set "POINTS=22 16 22 48 46 32")

foreach(file App/Layouts/Options.2dl App/Layouts/HelpMenu.2dl)
  set(target ${HM_CONTENT_DIR}/${file})
  add_custom_command(OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/${file} ${target}
    DEPENDS ${CMAKE_SOURCE_DIR}/content/${file} VERBATIM)
  list(APPEND options_files ${target})
endforeach()
# Each help page's picture, page by page: folder (the template ends it with its backslash),
# file, kind ("mpt" for a picture in its own folder; "" for a menu picture under the folder's
# Textures), width x height in layout units.
set(help_pictures
  "App\\Hud|HudCompass||0.4x0.4"
  "Art\\GUI\\Cursor\\Textures|Object1|mpt|0.4x0.4"
  "Art\\GUI\\Cursor\\Textures|Hidden|mpt|0.4x0.4"
  "App\\Hud|HudMoon||0.4x0.4"
  "Art\\Extras\\Jigsaw1|J1_Preview|mpt|0.7x0.35"
  "Art\\GUI\\Cursor\\Textures|Standard0|mpt|0.4x0.4"
  "App\\MapDiary|Diary_Book||0.7x0.35"
  "App\\MapDiary|Map_Parchment||0.7x0.35"
  "Art\\Extras\\Jigsaw2|J2_Preview|mpt|0.7x0.35")
set(PAGE 0)
foreach(picture IN LISTS help_pictures)
  math(EXPR PAGE "${PAGE} + 1")
  string(REPLACE "|" ";" picture "${picture}")
  list(GET picture 0 PICTURE_DIR)
  list(GET picture 1 PICTURE_FILE)
  list(GET picture 2 kind)
  list(GET picture 3 size)
  string(REPLACE "x" ";" PICTURE_SIZE "${size}")
  if(kind STREQUAL "mpt")
    set(PICTURE_EXPLICIT True)
    set(PICTURE_REFERENCE " Reference=\"mpt\"")
  else()
    set(PICTURE_EXPLICIT False)
    set(PICTURE_REFERENCE "")
  endif()
  hm_configured_file(options_files ${CMAKE_SOURCE_DIR}/content/App/Layouts/HelpPage.2dl.in
    ${HM_CONTENT_DIR}/App/Layouts/Page${PAGE}.2dl)
endforeach()

add_custom_target(options_content ALL DEPENDS ${options_files})
add_dependencies(content options_content)
