# The comics tests make their files with comictool's writers; the keyboard tests also load
# the keyboard folder of the sample content.
if(TARGET test_Quor_Comics)
  target_link_libraries(test_Quor_Comics PRIVATE comictool_io)
endif()
if(TARGET test_Quor_Osk AND TARGET content)
  add_dependencies(test_Quor_Osk content)
endif()
if(TARGET test_tools_comictool)
  target_link_libraries(test_tools_comictool PRIVATE comictool_io)
  add_dependencies(test_tools_comictool comictool)
endif()
