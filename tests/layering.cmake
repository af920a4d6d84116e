# The layering of the source tree as a test (the rules: cmake/CheckLayers.cmake), and the
# check itself over a small tree that breaks each rule once.
add_test(NAME layer_check
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake)
add_test(NAME layer_check_rules
  COMMAND ${CMAKE_COMMAND} -DCHECK=${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
          -DWORK_DIR=${CMAKE_BINARY_DIR}/test-home/layer-check
          -P ${CMAKE_SOURCE_DIR}/tests/layering/CheckLayersRules.cmake)
