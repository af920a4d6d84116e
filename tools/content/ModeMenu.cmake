# The mode menu: its layout "ModeMenu" with the tick box's well and check mark (drawn by the
# art tool from content/App/Art/ModeMenu/), on the message box's panel and OK button. The
# layout is listed in App/Configs/Menu_Resources.xml; its texts use the item frame's font.

set(mode_menu_art ${CMAKE_SOURCE_DIR}/content/App/Art/ModeMenu)
set(mode_menu_files "")
hm_area_picture(mode_menu_files ${mode_menu_art} ${HM_CONTENT_DIR}/App/Menu/Textures/ModeMenu_TickFrame.bmp
  TickFrame.art)
hm_area_picture(mode_menu_files ${mode_menu_art} ${HM_CONTENT_DIR}/App/Menu/Textures/ModeMenu_Tick.bmp Tick.art)
set(mode_menu_layout ${HM_CONTENT_DIR}/App/Layouts/ModeMenu.2dl)
add_custom_command(OUTPUT ${mode_menu_layout}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/App/Layouts/ModeMenu.2dl ${mode_menu_layout}
  DEPENDS ${CMAKE_SOURCE_DIR}/content/App/Layouts/ModeMenu.2dl VERBATIM)
list(APPEND mode_menu_files ${mode_menu_layout})

add_custom_target(mode_menu_content ALL DEPENDS ${mode_menu_files})
add_dependencies(content mode_menu_content)
