# The close-ups' frame: its layout and pictures from the layout description
# content/App/Layouts/CloseUp.txt (the close-ups' own layouts are the locations'). The picture
# names carry the layout's "root/" prefix, so they lie in a "root" folder of the layout's own.
# The sprite statements are read as the locations' are (Locations.cmake).
set(closeup_layouts ${CMAKE_SOURCE_DIR}/content/App/Layouts/CloseUp.txt)
set(closeup_art ${CMAKE_SOURCE_DIR}/content/App/Art/CloseUp)
set(closeup_folder ${HM_CONTENT_DIR}/Art/Interface/IntermediateFrame)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${closeup_layouts})

file(STRINGS ${closeup_layouts} closeup_sprites REGEX "^sprite[ \t]")
set(closeup_pictures "")
set(closeup_arts "")
foreach(line IN LISTS closeup_sprites)
  string(REGEX REPLACE "[ \t]+" ";" words "${line}")
  hm_layout_sprite("${words}" ${closeup_folder} ${closeup_art} closeup_pictures closeup_arts)
endforeach()

list(REMOVE_DUPLICATES closeup_arts)
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
