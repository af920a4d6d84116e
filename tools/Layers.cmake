# The libraries each tool links, and so the layers it may include: a layer brings those below
# it (quor brings platform). Read by the build (hm_tools) and by the layer check; a tool that
# is missing here stops the configuration. `shared` is not a program: it names the layers of
# the headers in tools/shared/, which every tool may include.
macro(hm_tool_layers tool)
  set(HM_TOOL_LAYERS_${tool} ${ARGN})
  list(APPEND HM_TOOLS_DECLARED ${tool})
endmacro()
# A tool whose program (its main.cpp) links more than its headers and libraries need: other
# tools and tests may still include those headers at the tool's own layers.
macro(hm_tool_program_layers tool)
  set(HM_TOOL_PROGRAM_LAYERS_${tool} ${ARGN})
endmacro()

hm_tool_layers(art quor)  # Cairo, and the texture tool's writers
hm_tool_layers(astar_bench common)
hm_tool_layers(curtool quor)  # the cursor file layout, and the texture tool's PNG reader
hm_tool_layers(comictool quor)
hm_tool_layers(fontmaker quor)  # FreeType, and the font and texture layouts the engine reads
hm_tool_layers(frame_bench platform platform_testing)  # runs the built game through the test driver
hm_tool_layers(fxtool quor)
hm_tool_layers(gfx_bench platform platform_testing)
hm_tool_layers(graphtool common)
hm_tool_layers(jigsaw quor)  # the art tool's painter and the texture tool's writers
hm_tool_layers(layout quor)  # the description reader of tools/shared
hm_tool_layers(modeltool quor)
hm_tool_layers(mosaic vey_minigames)  # the paint puzzle's table of touching pieces, a header of the game's
hm_tool_layers(particle_bench vey_world)  # the game's atlas batching over the particle library
hm_tool_layers(pk2 quor)
hm_tool_layers(ptctool particles)  # the particle file layout, and the texture tool's MPT writer
hm_tool_layers(shaderasm platform)  # runs while the engine is built: the platform's assembler only
hm_tool_layers(shared quor)
hm_tool_layers(soundgen platform)  # the WAVE layout the platform layer reads
hm_tool_layers(spline common)
hm_tool_layers(texture quor)
hm_tool_program_layers(texture ombrel)  # JPT pictures are written and read by the framework
hm_tool_layers(texture_bench quor)
hm_tool_layers(vfs_bench quor)
hm_tool_layers(scenecheck vey_investigation)  # the game's scene-description reader, sound bank and screens' tables
hm_tool_layers(walkthrough vey_minigames)  # the game's scene-description reader and condition rules
