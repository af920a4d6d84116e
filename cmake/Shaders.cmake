# Shader byte code is made at build time from the assembly sources in the repository.
#
# hm_assemble_shaders(TARGET DIR): every DIR/NAME.vsh and DIR/NAME.psh is assembled by the
# shaderasm tool into generated/Shaders/NAME_vsh.h (or _psh.h) defining the array
# k<NAME>Vs (or k<NAME>Ps); TARGET is built after all of them.
function(hm_assemble_shaders target dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.vsh ${CMAKE_SOURCE_DIR}/${dir}/*.psh)
  set(outputs "")
  foreach(source ${sources})
    get_filename_component(name ${source} NAME_WE)
    get_filename_component(extension ${source} LAST_EXT)
    string(SUBSTRING ${extension} 1 -1 extension)
    if(extension STREQUAL "vsh")
      set(symbol k${name}Vs)
    else()
      set(symbol k${name}Ps)
    endif()
    set(output ${CMAKE_BINARY_DIR}/generated/Shaders/${name}_${extension}.h)
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated/Shaders
      COMMAND shaderasm ${source} ${output} ${symbol}
      DEPENDS shaderasm ${source}
      COMMENT "Assembling ${dir}/${name}.${extension}"
      VERBATIM)
    list(APPEND outputs ${output})
  endforeach()
  add_custom_target(${target}_shaders DEPENDS ${outputs})
  add_dependencies(${target} ${target}_shaders)
endfunction()
