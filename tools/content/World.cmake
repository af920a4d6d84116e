# The story's world beyond its first five places: the layouts and pictures of its other
# locations, close-ups and searches from content/App/Layouts/World.txt (made as the locations'
# are, by hm_layout_description of Locations.cmake), drawn from the descriptions under
# content/App/Art/.
hm_layout_description(${CMAKE_SOURCE_DIR}/content/App/Layouts/World.txt world)

add_custom_target(world_content ALL DEPENDS ${world_layouts} ${world_pictures})
add_dependencies(content world_content)
