# The profile menu and the name entry: their layouts "ProfileMenu" and "ProfileCreation",
# copied as they are. They draw on the message box's pictures (tools/content/Tutorials.cmake)
# and the frames' font; the menu's list declares them.
set(profiles_files "")
foreach(file App/Layouts/ProfileMenu.2dl App/Layouts/ProfileCreation.2dl)
  set(target ${HM_CONTENT_DIR}/${file})
  add_custom_command(OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/${file} ${target}
    DEPENDS ${CMAKE_SOURCE_DIR}/content/${file} VERBATIM)
  list(APPEND profiles_files ${target})
endforeach()

add_custom_target(profiles_content ALL DEPENDS ${profiles_files})
add_dependencies(content profiles_content)
