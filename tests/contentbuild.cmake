# The content build's rules over the built tree: no picture drawn by two rules, and a changed
# source file runs again exactly the rules that read it and those made from their outputs.
add_test(NAME content_build_check
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/content-build-check ${CMAKE_BINARY_DIR})
