# The main story's locations: their layouts and pictures from the layout description
# content/App/Layouts/Locations.txt, and the story's sounds and music from the recipe tables in
# content/App/Sounds/. The lists the build makes are read from those files, so the
# configuration runs again when one of them changes.
set(locations_src ${CMAKE_SOURCE_DIR}/content/App)
set(locations_layouts ${locations_src}/Layouts/Locations.txt)
set(locations_sounds ${locations_src}/Sounds/Sounds.txt)
set(locations_music ${locations_src}/Sounds/Music.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${locations_layouts} ${locations_sounds}
                                                                ${locations_music})

# Whether another layout of the same folder already draws `output` from the same description and
# values (`recipe`): then it is made once; drawn otherwise, the configuration stops.
function(hm_picture_made output recipe made_var)
  get_property(made GLOBAL PROPERTY "hm_picture:${output}" SET)
  if(made)
    get_property(earlier GLOBAL PROPERTY "hm_picture:${output}")
    if(NOT earlier STREQUAL recipe)
      message(FATAL_ERROR "${output}: two layouts draw it differently (${earlier} and ${recipe})")
    endif()
  endif()
  set_property(GLOBAL PROPERTY "hm_picture:${output}" "${recipe}")
  set(${made_var} ${made} PARENT_SCOPE)
endfunction()

# A picture filling a layout's screen, drawn straight into its DCTZ texture.
function(hm_location_background output art)
  hm_picture_made(${output} "${art};${ARGN}" made)
  if(made)
    return()
  endif()
  add_custom_command(OUTPUT ${output}
    COMMAND $<TARGET_FILE:art> ${art} ${output} ${ARGN}
    DEPENDS art ${art} VERBATIM)
endfunction()

# A sprite's picture (MPT) and the hit mask cut from its own alpha (raw, as its texture reads it),
# both written by one run of the art tool, which makes their folders. A name may hold folders
# ("root/Button"), made below `folder`. Layouts sharing a folder (a search's visits) may name one
# picture drawn alike: it is made once; drawn otherwise, the configuration stops.
function(hm_location_sprite folder name art)
  hm_picture_made(${folder}/${name}.mpt "${art};${ARGN}" made)
  if(made)
    return()
  endif()
  add_custom_command(OUTPUT ${folder}/${name}.mpt ${folder}/${name}.msk
    COMMAND $<TARGET_FILE:art> ${art} ${folder}/${name}.mpt --mask ${folder}/${name}.msk ${ARGN}
    DEPENDS art ${art} VERBATIM)
endfunction()

# A layout description's "sprite" statement, cut into words: its picture and mask drawn into
# `folder` from its description in `art_dir` with the statement's values; the files are added
# to the list named `pictures_var`, the description to `arts_var`.
function(hm_layout_sprite words folder art_dir pictures_var arts_var)
  list(GET words 1 name)
  list(FIND words hidden hidden_at)
  if(hidden_at EQUAL -1)
    set(art_at 6)
  else()
    set(art_at 7)
  endif()
  list(GET words ${art_at} art)
  list(SUBLIST words ${art_at} -1 values)
  list(POP_FRONT values)
  list(TRANSFORM values PREPEND "--set;")
  string(REGEX REPLACE "@.*$" "" name "${name}")  # NAME@WORD shows NAME's picture again
  hm_location_sprite(${folder} ${name} ${art_dir}/${art} ${values})
  set(${pictures_var} ${${pictures_var}} ${folder}/${name}.mpt ${folder}/${name}.msk PARENT_SCOPE)
  set(${arts_var} ${${arts_var}} ${art_dir}/${art} PARENT_SCOPE)
endfunction()

# A layout of its own description file (sprite statements read as above): its pictures drawn
# into `folder` from `art_dir`, and App/Layouts/<layout>.2dl written by the layout tool. Sets
# `out_var` to the files made.
function(hm_described_layout out_var description art_dir folder layout)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${description})
  file(STRINGS ${description} sprites REGEX "^sprite[ \t]")
  set(pictures "")
  set(arts "")
  foreach(line IN LISTS sprites)
    string(REGEX REPLACE "[ \t]+" ";" words "${line}")
    hm_layout_sprite("${words}" ${folder} ${art_dir} pictures arts)
  endforeach()
  list(REMOVE_DUPLICATES arts)
  set(output ${HM_CONTENT_DIR}/App/Layouts/${layout}.2dl)
  add_custom_command(OUTPUT ${output}
    COMMAND $<TARGET_FILE:layout> ${description} ${HM_CONTENT_DIR}/App/Layouts
    DEPENDS layout ${description} ${arts}
    COMMENT "Making the layout ${layout}"
    VERBATIM)
  set(${out_var} ${output} ${pictures} PARENT_SCOPE)
endfunction()

# The first word of every recipe of a table: the names of the sounds it makes.
function(hm_recipe_names table folder out)
  file(STRINGS ${table} lines REGEX "^[^# \t]")
  set(files "")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "^[^ \t]+" name "${line}")
    list(APPEND files ${folder}/${name}.wav)
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# Walks a layout description as the layout tool reads it and makes its pictures and layouts;
# values of a picture's description (KEY=VALUE) are handed to the art tool, a blank layout's
# background's too, with PLACE set to the layout's name. Sets <PREFIX>_layouts and <PREFIX>_pictures, the files it
# makes. Its folders end in a backslash, which would escape a list's separator: they are turned
# to slashes before the text is cut into lines. The layouts go to App/Layouts/, or to the folder
# below it given as a third argument.
function(hm_layout_description description prefix)
  set(layouts_dir ${HM_CONTENT_DIR}/App/Layouts)
  if(ARGC GREATER 2)
    set(layouts_dir ${layouts_dir}/${ARGV2})
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${description})
  get_filename_component(description_dir ${description} DIRECTORY)
  file(READ ${description} layout_text)
  string(REPLACE "\\" "/" layout_text "${layout_text}")
  string(REPLACE "\n" ";" layout_lines "${layout_text}")
  list(FILTER layout_lines INCLUDE REGEX "^[^# \t]")
  set(layouts "")
  set(pictures "")
  set(arts "")
  foreach(line IN LISTS layout_lines)
    string(REGEX REPLACE "[ \t]+" ";" words "${line}")
    list(GET words 0 statement)
    if(statement STREQUAL "pictures")
      list(GET words 1 art_folder)
      set(art_dir ${description_dir}/${art_folder})
    elseif(statement STREQUAL "layout" OR statement STREQUAL "blank")
      list(GET words 1 layout)
      list(GET words 2 folder)
      string(REGEX REPLACE "/$" "" folder "${HM_CONTENT_DIR}/${folder}")
      list(APPEND layouts ${layouts_dir}/${layout}.2dl)
      if(statement STREQUAL "blank")
        list(GET words 3 art)
        list(SUBLIST words 3 -1 values)
        list(POP_FRONT values)
        list(TRANSFORM values PREPEND "--set;")
        hm_location_background(${folder}/${layout}.dctz ${art_dir}/${art} --set PLACE=${layout} ${values})
        list(APPEND pictures ${folder}/${layout}.dctz)
        list(APPEND arts ${art_dir}/${art})
      endif()
    elseif(statement STREQUAL "backdrop")
      list(GET words 1 backdrop)
      list(GET words 2 art)
      list(SUBLIST words 2 -1 values)
      list(POP_FRONT values)
      list(TRANSFORM values PREPEND "--set;")
      hm_location_background(${folder}/${backdrop}.dctz ${art_dir}/${art} ${values})
      list(APPEND pictures ${folder}/${backdrop}.dctz)
      list(APPEND arts ${art_dir}/${art})
    elseif(statement STREQUAL "background")
      list(GET words 1 art)
      hm_location_background(${folder}/${layout}.dctz ${art_dir}/${art})
      list(APPEND pictures ${folder}/${layout}.dctz)
      list(APPEND arts ${art_dir}/${art})
    elseif(statement STREQUAL "sprite" OR statement STREQUAL "anim")
      hm_layout_sprite("${words}" ${folder} ${art_dir} pictures arts)
    endif()
  endforeach()
  list(REMOVE_DUPLICATES arts)

  # The layout tool checks every picture's description draws the size the layout shows it at.
  get_filename_component(description_name ${description} NAME_WE)
  add_custom_command(OUTPUT ${layouts}
    COMMAND $<TARGET_FILE:layout> ${description} ${layouts_dir}
    DEPENDS layout ${description} ${arts}
    COMMENT "Making the layouts of ${description_name}"
    VERBATIM)
  set(${prefix}_layouts ${layouts} PARENT_SCOPE)
  set(${prefix}_pictures ${pictures} PARENT_SCOPE)
endfunction()

hm_layout_description(${locations_layouts} location)

hm_recipe_names(${locations_sounds} ${HM_CONTENT_DIR}/App/Sounds location_sounds)
hm_recipe_names(${locations_music} ${HM_CONTENT_DIR}/Music location_music)
add_custom_command(OUTPUT ${location_sounds}
  COMMAND $<TARGET_FILE:soundgen> table ${locations_sounds} ${HM_CONTENT_DIR}/App/Sounds
  DEPENDS soundgen ${locations_sounds}
  COMMENT "Making the main story's sounds"
  VERBATIM)
add_custom_command(OUTPUT ${location_music}
  COMMAND $<TARGET_FILE:soundgen> table ${locations_music} ${HM_CONTENT_DIR}/Music
  DEPENDS soundgen ${locations_music}
  COMMENT "Making the main story's music"
  VERBATIM)

add_custom_target(locations_content ALL
  DEPENDS ${location_layouts} ${location_pictures} ${location_sounds} ${location_music})
add_dependencies(content locations_content)
