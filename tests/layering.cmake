# The layering of the source tree as a test (the rules: cmake/CheckLayers.cmake), and the
# check itself over a small tree that breaks each rule once.
add_test(NAME layer_check
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake)
add_test(NAME layer_check_rules
  COMMAND ${CMAKE_COMMAND} -DCHECK=${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
          -DWORK_DIR=${CMAKE_BINARY_DIR}/test-home/layer-check
          -P ${CMAKE_SOURCE_DIR}/tests/layering/CheckLayersRules.cmake)
# The content tools that draw, write and pack content load no window, drawing or sound library
# (the engine's random seed once pulled the test driver and the window code into each of them).
# Only the build without sanitizers draws the content (the others copy it), and a sanitizer's
# code brings references of its own.
find_program(HM_READELF readelf)
if(HM_READELF AND NOT HOLLOWMERE_SANITIZE AND NOT HOLLOWMERE_TSAN)
  set(content_tools "")
  foreach(tool art ptctool comictool jigsaw layout fontmaker soundgen curtool mosaic pk2 spline graphtool)
    list(APPEND content_tools $<TARGET_FILE:${tool}>)
  endforeach()
  add_test(NAME tool_libraries_check
    COMMAND ${CMAKE_COMMAND} -DREADELF=${HM_READELF} "-DTOOLS=${content_tools}"
            -P ${CMAKE_SOURCE_DIR}/tests/layering/ToolLibraries.cmake)
endif()
