# The hidden-object scenes: their layouts, pictures and hit masks from the layout description
# content/App/Layouts/HiddenObjects.txt (made as the locations' are, by hm_layout_description
# of Locations.cmake), their resource list, and the rewards' pictures for the inventory bar.
set(hidden_objects_src ${CMAKE_SOURCE_DIR}/content/App)
hm_layout_description(${hidden_objects_src}/Layouts/HiddenObjects.txt hidden_objects)

set(hidden_objects_list ${HM_CONTENT_DIR}/App/Configs/HiddenObjects_Resources.xml)
add_custom_command(OUTPUT ${hidden_objects_list}
  COMMAND ${CMAKE_COMMAND} -E copy ${hidden_objects_src}/Configs/HiddenObjects_Resources.xml ${hidden_objects_list}
  DEPENDS ${hidden_objects_src}/Configs/HiddenObjects_Resources.xml VERBATIM)

# Each reward's cell of the "Items" layout.
set(hidden_objects_rewards ${HM_CONTENT_DIR}/App/Hud/Textures/HO01_BrassKey.mpt)
hm_location_background(${hidden_objects_rewards} ${hidden_objects_src}/Art/HiddenObjects/ItemBrassKey.art)

add_custom_target(hidden_objects_content ALL
  DEPENDS ${hidden_objects_layouts} ${hidden_objects_pictures} ${hidden_objects_list} ${hidden_objects_rewards})
add_dependencies(content hidden_objects_content)
