# The tutorial: its description (App/Tutorials/Tutorials.xml, the "Tutorials" buffer), the
# frame of its hint box ("Fill", "Side", "Corner"), the arrows and lit spots of its own layout
# "TutorialHints", and the shared message layout "MenuDialog" with its panel and buttons (dark wood
# and brass, drawn by the art tool from content/App/Art/Tutorials/), listed in
# App/Configs/Tutorials_Resources.xml. The texts use the item frame's font "Frames".

set(tutorials_art ${CMAKE_SOURCE_DIR}/content/App/Art/Tutorials)
set(tutorials_dir ${HM_CONTENT_DIR}/App/Tutorials)
set(tutorials_files "")

# tutorials_picture(NAME DESCRIPTION [--set NAME=TEXT]...): Textures/NAME.bmp drawn from the
# description, added to this area's files.
macro(tutorials_picture name description)
  hm_area_picture(tutorials_files ${tutorials_art} ${tutorials_dir}/Textures/${name}.bmp ${description} ${ARGN})
endmacro()
tutorials_picture(Tutorial_Fill Fill.art)
tutorials_picture(Tutorial_Side Side.art)
tutorials_picture(Tutorial_Corner Corner.art)
tutorials_picture(Tutorial_Arrow Arrow.art)
tutorials_picture(Tutorial_Light Light.art)
tutorials_picture(Dialog_Panel Panel.art)
# The buttons: a brass plate, its word (what the button does) written on it by the layouts.
tutorials_picture(Dialog_Button Button.art --set "TOP=#f0cc70" --set "BOTTOM=#9a6a22")
tutorials_picture(Dialog_ButtonOver Button.art --set "TOP=#f8e4a8" --set "BOTTOM=#c08a34")
tutorials_picture(Dialog_ButtonClick Button.art --set "TOP=#9a6a22" --set "BOTTOM=#6a4a18")

# The description, the layouts and the list, copied as they are.
foreach(file App/Tutorials/Tutorials.xml App/Layouts/TutorialHints.2dl App/Layouts/MenuDialog.2dl
    App/Configs/Tutorials_Resources.xml)
  set(target ${HM_CONTENT_DIR}/${file})
  add_custom_command(OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/${file} ${target}
    DEPENDS ${CMAKE_SOURCE_DIR}/content/${file} VERBATIM)
  list(APPEND tutorials_files ${target})
endforeach()

add_custom_target(tutorials_content ALL DEPENDS ${tutorials_files})
add_dependencies(content tutorials_content)
