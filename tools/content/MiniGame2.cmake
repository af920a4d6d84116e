# The key puzzle: its layout "Game02" with the loose parts, their sockets and the board, drawn
# from content/App/Layouts/Game02.txt and the pictures in content/App/Art/Game02, listed in
# App/Configs/MiniGame2_Resources.xml. Its sounds are the story's; its effects are G02.ptc.

# A puzzle's layout "Game0N" with its pictures and its resource list MiniGameN_Resources.xml,
# made by the target minigameN_content. MiniGame3.cmake, included after this file, uses it too.
function(hm_puzzle_content number)
  hm_layout_description(${CMAKE_SOURCE_DIR}/content/App/Layouts/Game0${number}.txt puzzle)
  set(list_file App/Configs/MiniGame${number}_Resources.xml)
  add_custom_command(OUTPUT ${HM_CONTENT_DIR}/${list_file}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/${list_file} ${HM_CONTENT_DIR}/${list_file}
    DEPENDS ${CMAKE_SOURCE_DIR}/content/${list_file} VERBATIM)
  add_custom_target(minigame${number}_content ALL
    DEPENDS ${puzzle_layouts} ${puzzle_pictures} ${HM_CONTENT_DIR}/${list_file})
  add_dependencies(content minigame${number}_content)
endfunction()

hm_puzzle_content(2)
