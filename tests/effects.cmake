# The shader tests load the engine's own effect files from build/content/Shaders.
if(TARGET test_Quor_DirectX_Shaders)
  add_dependencies(test_Quor_DirectX_Shaders effects)
endif()
