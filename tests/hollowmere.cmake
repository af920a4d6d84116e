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
