# Helpers that turn the folder layout into targets, so adding a source file needs no CMake edit.

# hm_layer_library(NAME DIR DEPS...): every .cpp below DIR (but main.cpp) into a static library.
function(hm_layer_library name dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.c)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
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

# hm_tools(ROOT): each folder ROOT/NAME with sources becomes the program NAME in bin/.
function(hm_tools root)
  file(GLOB tool_dirs LIST_DIRECTORIES true ${root}/*)
  foreach(tool_dir ${tool_dirs})
    if(IS_DIRECTORY ${tool_dir})
      get_filename_component(tool ${tool_dir} NAME)
      file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${tool_dir}/*.cpp)
      if(sources)
        add_executable(${tool} ${sources})
        target_link_libraries(${tool} PRIVATE vey)
      endif()
      if(EXISTS ${tool_dir}/CMakeLists.txt)
        add_subdirectory(${tool_dir})
      endif()
    endif()
  endforeach()
endfunction()

# hm_tests(ROOT): each folder below ROOT holding .cpp files becomes one GoogleTest program,
# named after its path (tests/Quor/DirectX -> test_Quor_DirectX). Tests draw offscreen and
# play into the dummy audio driver, and never touch the real user data folder.
function(hm_tests root)
  file(GLOB_RECURSE all_sources CONFIGURE_DEPENDS ${root}/*.cpp)
  set(dirs "")
  foreach(src ${all_sources})
    get_filename_component(d ${src} DIRECTORY)
    list(APPEND dirs ${d})
  endforeach()
  list(REMOVE_DUPLICATES dirs)
  foreach(d ${dirs})
    file(RELATIVE_PATH rel ${root} ${d})
    string(REPLACE "/" "_" suffix "${rel}")
    set(target test_${suffix})
    file(GLOB sources ${d}/*.cpp)
    add_executable(${target} ${sources})
    target_link_libraries(${target} PRIVATE vey GTest::gtest GTest::gtest_main)
    target_compile_definitions(${target} PRIVATE
      HM_SOURCE_DIR="${CMAKE_SOURCE_DIR}" HM_BINARY_DIR="${CMAKE_BINARY_DIR}")
    set(test_home ${CMAKE_BINARY_DIR}/test-home/${suffix})
    # Temporary files stay inside this build folder, so parallel builds never share them.
    file(MAKE_DIRECTORY ${test_home}/tmp)
    gtest_discover_tests(${target}
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
      DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT
        "SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy;HOLLOWMERE_DATA_HOME=${test_home};XDG_RUNTIME_DIR=${test_home}/run;TEST_TMPDIR=${test_home}/tmp/")
  endforeach()
  file(GLOB extra CONFIGURE_DEPENDS ${root}/*.cmake)
  foreach(f ${extra})
    include(${f})
  endforeach()
endfunction()
