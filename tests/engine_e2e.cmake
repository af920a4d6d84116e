# The end-to-end test of the engine: the real program started headless with the showcase,
# over an archive the tools make at test time; frames are kept in e2e-frames/engine/ for CI.
# Like the other end-to-end runs it is left to the build without sanitizers.
if(HOLLOWMERE_SANITIZE OR HOLLOWMERE_TSAN)
  return()
endif()
add_executable(engine_e2e_check ${CMAKE_SOURCE_DIR}/tests/e2e/engine_e2e.cc)
target_link_libraries(engine_e2e_check PRIVATE platform platform_testing GTest::gtest GTest::gtest_main)
target_compile_definitions(engine_e2e_check PRIVATE HM_BINARY_DIR="${CMAKE_BINARY_DIR}" HM_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_dependencies(engine_e2e_check hollowmere pk2 texture fontmaker)
add_test(NAME engine_e2e COMMAND engine_e2e_check WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
set_tests_properties(engine_e2e PROPERTIES TIMEOUT 300 LABELS e2e)
