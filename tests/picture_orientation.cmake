# The render tests carry a picture from a PNG through the texture program and a comic made
# by comictool's writer to the screen.
if(TARGET test_Quor_Render)
  target_link_libraries(test_Quor_Render PRIVATE texture_io comictool_io)
  add_dependencies(test_Quor_Render texture)
endif()
