# The extras jigsaw: its three pictures (content/App/Art/Extras/), each cut by the jigsaw tool
# into 72 pieces with its layout App/Layouts/Jigsaw<N>.2dl (listed as "Game08".."Game10"), the
# bonus game page "GameSelection" and the pause "GamePause" (hand-written in
# content/App/Layouts/), their plates and arrows under App/Extras/Textures/, the sparks G08.ptc
# (built with every effect from its .ptc.txt) and the music "bgm_2". All are listed in
# App/Configs/Menu_Resources.xml.
set(jigsaw_art ${CMAKE_SOURCE_DIR}/content/App/Art/Extras)
set(jigsaw_textures ${HM_CONTENT_DIR}/App/Extras/Textures)
set(jigsaw_files "")

# Picture, seed of the loose pieces' places.
set(jigsaw_pictures "Mansion|1801" "Village|2903" "Lighthouse|3307")
set(jigsaw_number 0)
foreach(entry IN LISTS jigsaw_pictures)
  math(EXPR jigsaw_number "${jigsaw_number} + 1")
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 picture)
  list(GET entry 1 seed)
  set(folder ${HM_CONTENT_DIR}/Art/Extras/Jigsaw${jigsaw_number})
  set(prefix J${jigsaw_number}_)
  set(outputs ${HM_CONTENT_DIR}/App/Layouts/Jigsaw${jigsaw_number}.2dl ${folder}/${prefix}Preview.mpt
    ${folder}/${prefix}Ghost.mpt)
  foreach(piece RANGE 1 72)
    list(APPEND outputs ${folder}/${prefix}Piece${piece}.mpt)
  endforeach()
  add_custom_command(OUTPUT ${outputs}
    COMMAND $<TARGET_FILE:jigsaw> ${jigsaw_art}/${picture}.art ${jigsaw_number} ${seed} ${HM_CONTENT_DIR}
    DEPENDS jigsaw ${jigsaw_art}/${picture}.art
    COMMENT "Cutting the jigsaw picture ${picture}" VERBATIM)
  list(APPEND jigsaw_files ${outputs})
endforeach()

macro(jigsaw_texture name description)
  hm_location_background(${jigsaw_textures}/${name}.bmp ${jigsaw_art}/${description} ${ARGN})
  list(APPEND jigsaw_files ${jigsaw_textures}/${name}.bmp)
endmacro()
jigsaw_texture(Jigsaw_Table Table.art)
jigsaw_texture(Jigsaw_Panel Panel.art)
jigsaw_texture(Jigsaw_Button Button.art --set "RIM=#9a6a22")
jigsaw_texture(Jigsaw_ButtonActive Button.art --set "RIM=#f8e4a8")
set(jigsaw_points_ArrowLeft "42 16 42 48 18 32")
set(jigsaw_points_ArrowRight "22 16 22 48 46 32")
set(jigsaw_points_Back "46 28 30 28 30 20 16 32 30 44 30 36 46 36")
foreach(arrow ArrowLeft ArrowRight Back)
  set(points "POINTS=${jigsaw_points_${arrow}}")
  jigsaw_texture(Jigsaw_${arrow} Arrow.art --set ${points} --set "TOP=#f0cc70" --set "BOTTOM=#9a6a22")
  jigsaw_texture(Jigsaw_${arrow}Over Arrow.art --set ${points} --set "TOP=#f8e4a8" --set "BOTTOM=#c08a34")
  jigsaw_texture(Jigsaw_${arrow}Click Arrow.art --set ${points} --set "TOP=#9a6a22" --set "BOTTOM=#6a4a18")
endforeach()

hm_copy_layouts(jigsaw_files GameSelection GamePause)

set(jigsaw_music_table ${CMAKE_SOURCE_DIR}/content/App/Sounds/JigsawMusic.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${jigsaw_music_table})
hm_recipe_names(${jigsaw_music_table} ${HM_CONTENT_DIR}/Music jigsaw_music)
add_custom_command(OUTPUT ${jigsaw_music}
  COMMAND $<TARGET_FILE:soundgen> table ${jigsaw_music_table} ${HM_CONTENT_DIR}/Music
  DEPENDS soundgen ${jigsaw_music_table} VERBATIM)
list(APPEND jigsaw_files ${jigsaw_music})

add_custom_target(jigsaw_content ALL DEPENDS ${jigsaw_files})
add_dependencies(content jigsaw_content)
