# The program tests start the real executable: build it before them.
if(TARGET test_Quor_DirectX)
  add_dependencies(test_Quor_DirectX hollowmere)
endif()
if(TARGET test_Framework)
  add_dependencies(test_Framework hollowmere)
endif()
# The end-to-end tests run the program over the plain content tree and over its archive.
if(TARGET test_e2e)
  add_dependencies(test_e2e hollowmere content_archive)
endif()
# The full walkthrough's scripts, written by the walkthrough tool from the built scene
# descriptions and the layouts' descriptions (frames of 0.1 s; the main story's tutorial question
# is answered after a first start and the intro), so the end-to-end walkthrough follows the content.
if(TARGET test_e2e_walkthrough AND HOLLOWMERE_CONTENT_FROM)
  # Copied with the content from the build that wrote them.
  add_custom_target(walkthrough_scripts)
  add_dependencies(walkthrough_scripts content)
  add_dependencies(test_e2e_walkthrough hollowmere walkthrough_scripts)
elseif(TARGET test_e2e_walkthrough)
  set(walk_dir ${CMAKE_BINARY_DIR}/walkthrough)
  set(walk_app ${CMAKE_BINARY_DIR}/content/App)
  set(walk_layouts ${CMAKE_SOURCE_DIR}/content/App/Layouts)
  # The paint puzzle's layout with its mosaic's pieces is the one the mosaic tool wrote.
  file(GLOB walk_puzzles ${walk_layouts}/Game0?.txt)
  list(REMOVE_ITEM walk_puzzles ${walk_layouts}/Game04.txt)
  list(APPEND walk_puzzles ${CMAKE_BINARY_DIR}/tools/content/minigame4/Game04.txt)
  set(walk_main_layouts ${walk_layouts}/Locations.txt ${walk_layouts}/World.txt ${walk_layouts}/HiddenObjects.txt
                        ${walk_layouts}/CloseUp.txt ${walk_puzzles})
  set(walk_bonus_layouts ${walk_layouts}/Collectors.txt ${walk_layouts}/Collectors/ArcadeGame01.txt)
  set(walk_hud ${walk_app}/Hud/HUD.2dl ${walk_app}/Layouts/FrameSmall.2dl)
  add_custom_command(OUTPUT ${walk_dir}/main.txt ${walk_dir}/main-saved.txt
    COMMAND ${CMAKE_COMMAND} -E make_directory ${walk_dir}
    COMMAND walkthrough ${walk_app}/Configs/GameInfo.xml ${walk_hud} ${walk_main_layouts}
            --masks ${CMAKE_BINARY_DIR}/content -o ${walk_dir}/main.txt --saved ${walk_dir}/main-saved.txt --dt 0.1 --tutorial-at 270
    DEPENDS walkthrough ${walk_app}/Configs/GameInfo.xml ${walk_hud} ${walk_main_layouts}
    COMMENT "Writing the main story's walkthrough" VERBATIM)
  add_custom_command(OUTPUT ${walk_dir}/bonus.txt ${walk_dir}/bonus-saved.txt
    COMMAND ${CMAKE_COMMAND} -E make_directory ${walk_dir}
    COMMAND walkthrough --bonus ${walk_app}/Configs/Collectors/CollectorsGameInfo.xml ${walk_hud} ${walk_bonus_layouts}
            --masks ${CMAKE_BINARY_DIR}/content -o ${walk_dir}/bonus.txt --saved ${walk_dir}/bonus-saved.txt --dt 0.1
    DEPENDS walkthrough ${walk_app}/Configs/Collectors/CollectorsGameInfo.xml ${walk_hud} ${walk_bonus_layouts}
    COMMENT "Writing the bonus chapter's walkthrough" VERBATIM)
  add_custom_target(walkthrough_scripts DEPENDS ${walk_dir}/main.txt ${walk_dir}/bonus.txt)
  add_dependencies(walkthrough_scripts content walkthrough)
  add_dependencies(test_e2e_walkthrough hollowmere walkthrough_scripts)
endif()
# The frame benchmark plays one screen end to end for a few frames; its figures are not checked,
# as a benchmark is no test.
if(TARGET frame_bench AND TARGET test_e2e_walkthrough)
  add_test(NAME frame_bench_check
    COMMAND frame_bench ${CMAKE_BINARY_DIR} --screens location --frames 5 --settle 5 --no-walk
            --home ${CMAKE_BINARY_DIR}/test-home/frame-bench)
  set_tests_properties(frame_bench_check PROPERTIES LABELS e2e)
endif()
