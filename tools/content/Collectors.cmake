# The bonus chapter: its places' layouts and pictures from content/App/Layouts/Collectors.txt
# (into App/Layouts/Collectors/, beside the main story's own "Scene" layouts), its map layout,
# its scene description and resource list, and the sounds of its bank the main story lacks,
# from the recipe table content/App/Sounds/Collectors.txt. Its effect files are built with
# every other (content/Art/Environments/Collectors/).
set(collectors_src ${CMAKE_SOURCE_DIR}/content/App)
set(collectors_sounds_table ${collectors_src}/Sounds/Collectors.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${collectors_sounds_table})

hm_layout_description(${collectors_src}/Layouts/Collectors.txt collectors Collectors)

set(collectors_sounds_dir ${HM_CONTENT_DIR}/App/Collectors/Sounds)
hm_recipe_names(${collectors_sounds_table} ${collectors_sounds_dir} collectors_sounds)
add_custom_command(OUTPUT ${collectors_sounds}
  COMMAND $<TARGET_FILE:soundgen> table ${collectors_sounds_table} ${collectors_sounds_dir}
  DEPENDS soundgen ${collectors_sounds_table}
  COMMENT "Making the bonus chapter's sounds"
  VERBATIM)

set(collectors_files "")
foreach(pair "Layouts/CollectorsMap.2dl;Layouts/Collectors/CollectorsMap.2dl"
    "Configs/Collectors/CollectorsGameInfo.xml;Configs/Collectors/CollectorsGameInfo.xml"
    "Configs/Collectors/CollectorsGame_Resources.xml;Configs/Collectors/CollectorsGame_Resources.xml")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT ${HM_CONTENT_DIR}/App/${target}
    COMMAND ${CMAKE_COMMAND} -E copy ${collectors_src}/${source} ${HM_CONTENT_DIR}/App/${target}
    DEPENDS ${collectors_src}/${source} VERBATIM)
  list(APPEND collectors_files ${HM_CONTENT_DIR}/App/${target})
endforeach()

add_custom_target(collectors_content ALL
  DEPENDS ${collectors_layouts} ${collectors_pictures} ${collectors_sounds} ${collectors_files})
add_dependencies(content collectors_content)
