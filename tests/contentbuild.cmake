# The content build's rules over the built tree: a second build of the content and of its archive
# has nothing to do; the tree and the archive hold exactly what the rules make, and a file no rule
# makes leaves the tree; no picture is drawn by two rules; and a changed source file runs again
# exactly the rules that read it and those made from their outputs.
# A build that copies its content from another (HOLLOWMERE_CONTENT_FROM) has no such rules.
if(NOT HOLLOWMERE_CONTENT_FROM)
  add_test(NAME content_build_check
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/content-build-check ${CMAKE_BINARY_DIR})
  # It leaves a stale file in the built content tree and builds the archive again, which the
  # tests that read them must not see half done: it runs alone.
  set_tests_properties(content_build_check PROPERTIES RUN_SERIAL TRUE)
endif()
