# The close-ups' frame: its layout and pictures from the layout description
# content/App/Layouts/CloseUp.txt (the close-ups' own layouts are the locations'). The picture
# names carry the layout's "root/" prefix, so they lie in a "root" folder of the layout's own.
set(closeup_layouts ${CMAKE_SOURCE_DIR}/content/App/Layouts/CloseUp.txt)
set(closeup_art ${CMAKE_SOURCE_DIR}/content/App/Art/CloseUp)
set(closeup_folder ${HM_CONTENT_DIR}/Art/Interface/IntermediateFrame/root)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${closeup_layouts})

file(STRINGS ${closeup_layouts} closeup_sprites REGEX "^sprite[ \t]")
set(closeup_pictures "")
foreach(line IN LISTS closeup_sprites)
  string(REGEX REPLACE "[ \t]+" ";" words "${line}")
  list(GET words 1 name)
  string(REGEX REPLACE "^root/" "" name "${name}")
  list(FIND words hidden hidden_at)
  if(hidden_at EQUAL -1)
    set(art_at 6)
  else()
    set(art_at 7)
  endif()
  list(GET words ${art_at} art)
  list(SUBLIST words ${art_at} -1 values)
  list(POP_FRONT values)
  list(TRANSFORM values PREPEND "--set;")
  hm_location_sprite(${closeup_folder} ${name} ${closeup_art}/${art} ${values})
  list(APPEND closeup_pictures ${closeup_folder}/${name}.mpt ${closeup_folder}/${name}.msk)
endforeach()

file(GLOB closeup_arts ${closeup_art}/*.art)
add_custom_command(OUTPUT ${HM_CONTENT_DIR}/App/Layouts/IntermediateFrame.2dl
  COMMAND ${CMAKE_COMMAND} -E make_directory ${HM_CONTENT_DIR}/App/Layouts
  COMMAND $<TARGET_FILE:layout> ${closeup_layouts} ${HM_CONTENT_DIR}/App/Layouts
  DEPENDS layout ${closeup_layouts} ${closeup_arts}
  COMMENT "Making the close-ups' frame"
  VERBATIM)

set(closeup_list ${HM_CONTENT_DIR}/App/Configs/CloseUp_Resources.xml)
add_custom_command(OUTPUT ${closeup_list}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/App/Configs/CloseUp_Resources.xml ${closeup_list}
  DEPENDS ${CMAKE_SOURCE_DIR}/content/App/Configs/CloseUp_Resources.xml VERBATIM)

add_custom_target(closeup_content ALL
  DEPENDS ${HM_CONTENT_DIR}/App/Layouts/IntermediateFrame.2dl ${closeup_pictures} ${closeup_list})
add_dependencies(content closeup_content)
