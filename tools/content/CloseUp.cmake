# The close-ups' frame: its layout and pictures from the layout description
# content/App/Layouts/CloseUp.txt (the close-ups' own layouts are the locations'). The picture
# names carry the layout's "root/" prefix, so they lie in a "root" folder of the layout's own.
# The sprite statements are read as the locations' are (Locations.cmake).
set(closeup_art ${CMAKE_SOURCE_DIR}/content/App/Art/CloseUp)
set(closeup_folder ${HM_CONTENT_DIR}/Art/Interface/IntermediateFrame)
hm_described_layout(closeup_pictures ${CMAKE_SOURCE_DIR}/content/App/Layouts/CloseUp.txt ${closeup_art}
  ${closeup_folder} IntermediateFrame)

set(closeup_list ${HM_CONTENT_DIR}/App/Configs/CloseUp_Resources.xml)
add_custom_command(OUTPUT ${closeup_list}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/App/Configs/CloseUp_Resources.xml ${closeup_list}
  DEPENDS ${CMAKE_SOURCE_DIR}/content/App/Configs/CloseUp_Resources.xml VERBATIM)

add_custom_target(closeup_content ALL
  DEPENDS ${closeup_pictures} ${closeup_list})
add_dependencies(content closeup_content)
