# Helpers that turn the folder layout into targets, so adding a source file needs no CMake edit.

# hm_layer_library(NAME DIR DEPS...): every .cpp below DIR (but main.cpp) into a static library.
# A folder DIR/Testing/ is left out: it holds what only tests and tools use, a library of its own.
function(hm_layer_library name dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.c)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  file(GLOB_RECURSE testing_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/Testing/*.cpp
       ${CMAKE_SOURCE_DIR}/${dir}/Testing/*.c)
  if(testing_sources)
    list(REMOVE_ITEM sources ${testing_sources})
  endif()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# hm_tools(ROOT): each folder ROOT/NAME with sources becomes the program NAME in bin/, linked to
# the layers ROOT/Layers.cmake declares for it.
function(hm_tools root)
  include(${root}/Layers.cmake)
  file(GLOB tool_dirs LIST_DIRECTORIES true ${root}/*)
  foreach(tool_dir ${tool_dirs})
    if(IS_DIRECTORY ${tool_dir})
      get_filename_component(tool ${tool_dir} NAME)
      file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${tool_dir}/*.cpp)
      if(sources)
        if(NOT tool IN_LIST HM_TOOLS_DECLARED)
          message(FATAL_ERROR "tools/${tool} declares no layers: add hm_tool_layers(${tool} ...) to ${root}/Layers.cmake")
        endif()
        add_executable(${tool} ${sources})
        target_include_directories(${tool} PRIVATE ${CMAKE_SOURCE_DIR})
        target_link_libraries(${tool} PRIVATE ${HM_TOOL_LAYERS_${tool}} ${HM_TOOL_PROGRAM_LAYERS_${tool}})
      endif()
      if(EXISTS ${tool_dir}/CMakeLists.txt)
        add_subdirectory(${tool_dir})
      endif()
    endif()
  endforeach()
endfunction()

# The library a test folder's program links: the layer it tests, with those below it (the layer
# check keeps its includes there), so a build of one layer's tests compiles no layer above it.
# The end-to-end tests and the tools' tests link the game's top layer.
function(hm_test_layer_library rel out)
  set(library vey)
  foreach(pair "Platform:platform" "Quor:quor" "Common:common" "Particles:particles" "Framework:ombrel"
               "Src/World:vey_world" "Src/Location:vey_location" "Src/Investigation:vey_investigation"
               "Src/MiniGames:vey_minigames" "Src/Menu:vey_menu" "Src/Game:vey")
    string(REPLACE ":" ";" pair "${pair}")
    list(GET pair 0 folder)
    list(GET pair 1 name)
    if(rel STREQUAL folder OR rel MATCHES "^${folder}/")
      set(library ${name})
    endif()
  endforeach()
  set(${out} ${library} PARENT_SCOPE)
endfunction()

# hm_tests(ROOT): each folder below ROOT holding .cpp files becomes one GoogleTest program,
# named after its path (tests/Quor/DirectX -> test_Quor_DirectX). Tests draw offscreen and
# play into the dummy audio driver, and never touch the real user data folder.
function(hm_tests root)
  file(GLOB_RECURSE all_sources CONFIGURE_DEPENDS ${root}/*.cpp)
  set(dirs "")
  list(FILTER all_sources EXCLUDE REGEX "/support/")
  foreach(src ${all_sources})
    get_filename_component(d ${src} DIRECTORY)
    list(APPEND dirs ${d})
  endforeach()
  list(REMOVE_DUPLICATES dirs)
  foreach(d ${dirs})
    file(RELATIVE_PATH rel ${root} ${d})
    # The end-to-end runs play the real program for minutes; a sanitizer build leaves them to
    # the normal one and does not build them.
    if(rel MATCHES "^e2e(/|$)" AND (HOLLOWMERE_SANITIZE OR HOLLOWMERE_TSAN))
      continue()
    endif()
    string(REPLACE "/" "_" suffix "${rel}")
    set(target test_${suffix})
    file(GLOB sources ${d}/*.cpp)
    add_executable(${target} ${sources})
    # Each end-to-end file spells out its own walk (its script, frames and screen areas) under the
    # same short names as the next; they are few, so they compile one by one.
    if(rel MATCHES "^e2e(/|$)")
      set_target_properties(${target} PROPERTIES UNITY_BUILD OFF)
    endif()
    hm_test_layer_library("${rel}" layer_library)
    target_link_libraries(${target} PRIVATE ${layer_library} platform_testing GTest::gtest GTest::gtest_main)
    # The tests' own sources build a third faster at -O1 with line tables only; the code they
    # test keeps the build type's flags. A Debug build keeps its own.
    target_compile_options(${target} PRIVATE "$<$<NOT:$<CONFIG:Debug>>:-O1;-g1>" ${HOLLOWMERE_TEST_FLAGS})
    target_compile_definitions(${target} PRIVATE
      HM_SOURCE_DIR="${CMAKE_SOURCE_DIR}" HM_BINARY_DIR="${CMAKE_BINARY_DIR}")
    # Each program sets up its own environment (tests/support/TestEnvironment.cpp).
    target_sources(${target} PRIVATE ${root}/support/TestEnvironment.cpp)
    target_compile_definitions(${target} PRIVATE HM_TEST_HOME="${CMAKE_BINARY_DIR}/test-home/${suffix}")
    if(HOLLOWMERE_TSAN)
      target_compile_definitions(${target} PRIVATE HM_GL_DRIVER="${HM_GL_DRIVER}")
    endif()
    # The whole program once more in one process and in a random order (the seed is printed),
    # so no test passes only thanks to what ran before it. It runs alone: its tests use the same
    # files as their own CTests. A program of a single test has no order to shuffle. The CTests
    # of a program that also runs whole carry the label `per-test`, so a pass may run each of
    # its tests once, in the whole run only (CI's sanitizer pass: `ctest -LE per-test`).
    set(test_lines "")
    foreach(src ${sources})
      file(STRINGS ${src} lines REGEX "^TEST(_F|_P)?\\(")
      list(APPEND test_lines ${lines})
    endforeach()
    list(LENGTH test_lines test_count)
    # The end-to-end tests each start the real program afresh, so no state of one test can reach
    # the next: they are long, and run once, each on its own.
    set(shuffled FALSE)
    if(test_count GREATER 1 AND NOT rel MATCHES "^e2e(/|$)")
      set(shuffled TRUE)
    endif()
    # The end-to-end runs carry the label `e2e`: long, they run in one CI pass only.
    set(labels "")
    if(shuffled)
      set(labels PROPERTIES LABELS per-test)
    elseif(rel MATCHES "^e2e(/|$)")
      set(labels PROPERTIES LABELS e2e)
    endif()
    gtest_discover_tests(${target} WORKING_DIRECTORY ${CMAKE_BINARY_DIR} DISCOVERY_TIMEOUT 60 ${labels})
    if(shuffled)
      add_test(NAME ${target}.shuffled COMMAND ${target} --gtest_shuffle WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
      set_tests_properties(${target}.shuffled PROPERTIES RUN_SERIAL TRUE)
    endif()
  endforeach()
  file(GLOB extra CONFIGURE_DEPENDS ${root}/*.cmake)
  foreach(f ${extra})
    include(${f})
  endforeach()
endfunction()
