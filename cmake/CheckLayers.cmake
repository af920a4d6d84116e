# The layer check (CTest's `layer_check`): cmake -DSOURCE_DIR=TREE -P cmake/CheckLayers.cmake
# reads every #include of the source tree and fails, listing file:line and the rule broken, when
#   - code outside Platform/ and tests/Platform/ includes SDL, OpenGL, EGL, MojoShader or a
#     POSIX-only header: the platform layer offers what the code above it needs, in our words;
#   - a layer includes one above it (Platform < Quor < Common < Particles < Framework < Src),
#     the game's folders being layers of their own (Src/World < Src/Location <
#     Src/Investigation < Src/MiniGames < Src/Menu < Src/Game), or a file of Src/ lies outside
#     those folders;
#   - a tool includes a layer it does not link (tools/Layers.cmake; a tool's main.cpp may link
#     more than its headers), or another tool's headers that need more than that; tools/shared/
#     is open to every tool;
#   - a test includes a layer above the one it tests, or test code or a tool above it (the
#     tools' tests may include any layer a tool links);
#   - anything but tests and the tools that link it includes Platform/Testing/;
#   - the engine includes tools or tests, or a tool includes tests.

cmake_minimum_required(VERSION 3.20)
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<source tree> -P CheckLayers.cmake")
endif()
include(${SOURCE_DIR}/tools/Layers.cmake)

set(layer_folders Platform Quor Common Particles Framework
    Src/World Src/Location Src/Investigation Src/MiniGames Src/Menu Src/Game)
set(layer_libraries platform quor common particles ombrel
    vey_world vey_location vey_investigation vey_minigames vey_menu vey)
list(LENGTH layer_folders layer_count)
math(EXPR top_level "${layer_count} - 1")
# Headers of the system and of the libraries only the platform layer may use.
set(platform_only_headers
  "SDL[^/]*\\.h|SDL2/.*|GL/.*|GLES[0-9]*/.*|EGL/.*|KHR/.*|mojoshader.*"
  "|unistd\\.h|strings\\.h|sys/.*|dirent\\.h|fcntl\\.h|pthread\\.h|dlfcn\\.h|poll\\.h|termios\\.h"
  "|pwd\\.h|grp\\.h|libgen\\.h|glob\\.h|fnmatch\\.h|sched\\.h|semaphore\\.h|spawn\\.h|syslog\\.h"
  "|netdb\\.h|netinet/.*|arpa/.*|utime\\.h|wordexp\\.h|regex\\.h|ftw\\.h|langinfo\\.h|iconv\\.h"
  "|mntent\\.h|execinfo\\.h|linux/.*|asm/.*")
string(CONCAT platform_only_headers ${platform_only_headers})

# The highest layer (0 Platform .. top_level Src/Game, -1 none) among libraries, and whether they hold the
# test library.
function(layers_of_libraries libraries out_level out_testing)
  set(level -1)
  set(testing OFF)
  foreach(library ${libraries})
    list(FIND layer_libraries ${library} index)
    if(index GREATER level)
      set(level ${index})
    endif()
    if(library STREQUAL "platform_testing")
      set(testing ON)
      if(level LESS 0)
        set(level 0)
      endif()
    endif()
  endforeach()
  set(${out_level} ${level} PARENT_SCOPE)
  set(${out_testing} ${testing} PARENT_SCOPE)
endfunction()

# Where a file of the tree belongs, as variables with the prefix given:
#   _kind   engine, testing (Platform/Testing), tool, test, unplaced (in Src/ but none of its
#           layers), or other
#   _level  the highest layer it may include (-1: none)
#   _testing  whether it may include Platform/Testing
#   _system   whether it may include the platform-only headers
#   _name   what messages call it
#   _tool   the tool's folder name
function(classify path prefix)
  set(kind other)
  set(level ${top_level})
  set(testing OFF)
  set(system OFF)
  set(name "")
  set(tool "")
  string(REPLACE "/" ";" parts "${path}")
  list(GET parts 0 top)
  list(LENGTH parts depth)
  # The game's layers are the folders of Src/.
  if(top STREQUAL "Src" AND depth GREATER 2)
    list(GET parts 1 game_folder)
    set(top "Src/${game_folder}")
  endif()
  list(FIND layer_folders "${top}" top_layer)
  if(path MATCHES "^Platform/Testing/")
    set(kind testing)
    set(level 0)
    set(testing ON)
    set(system ON)
    set(name "Platform/Testing")
  elseif(top STREQUAL "Src" OR (top MATCHES "^Src/" AND top_layer EQUAL -1))
    set(kind unplaced)
    set(name "${top}/")
  elseif(top_layer GREATER -1)
    set(kind engine)
    set(level ${top_layer})
    if(top STREQUAL "Platform")
      set(system ON)
    endif()
    set(name "the ${top} layer")
  elseif(top STREQUAL "tools" AND depth GREATER 2)
    list(GET parts 1 tool)
    set(kind tool)
    set(name "tools/${tool}")
    if(NOT tool IN_LIST HM_TOOLS_DECLARED)
      set(level undeclared)
    elseif(depth EQUAL 3 AND path MATCHES "/main\\.cpp$" AND DEFINED HM_TOOL_PROGRAM_LAYERS_${tool})
      layers_of_libraries("${HM_TOOL_LAYERS_${tool}};${HM_TOOL_PROGRAM_LAYERS_${tool}}" level testing)
    else()
      layers_of_libraries("${HM_TOOL_LAYERS_${tool}}" level testing)
    endif()
  elseif(top STREQUAL "tests" AND depth GREATER 2)
    list(GET parts 1 folder)
    if(folder STREQUAL "Src" AND depth GREATER 3)
      list(GET parts 2 game_folder)
      set(folder "Src/${game_folder}")
    endif()
    set(kind test)
    set(testing ON)
    list(FIND layer_folders "${folder}" folder_layer)
    if(folder_layer GREATER -1)
      set(level ${folder_layer})
      set(name "a test of the ${folder} layer")
      if(folder STREQUAL "Platform")
        set(system ON)
      endif()
    elseif(path MATCHES "^tests/support/engine/")
      # The shared test kit's helpers that drive the engine: for tests of Quor and above.
      set(level 1)
      set(name "tests/support/engine")
    elseif(folder STREQUAL "support" OR folder STREQUAL "e2e")
      # Linked into every test program, or a test that links the platform layer alone.
      set(level 0)
      set(name "tests/${folder}")
    elseif(folder STREQUAL "fuzz")
      # The fuzz targets link the game's top layer (with all below it) and nothing of the tests.
      set(level ${top_level})
      set(testing OFF)
      set(name "a fuzz target")
    elseif(folder STREQUAL "tools")
      # The tools' tests read what a tool wrote back through the engine's own readers.
      set(level ${tools_level})
      set(name "a test of the tools")
    else()
      set(name "tests/${folder}")
    endif()
  endif()
  foreach(field kind level testing system name tool)
    set(${prefix}_${field} "${${field}}" PARENT_SCOPE)
  endforeach()
endfunction()

# The line number of the first line of `file` that is `text`.
function(line_of file text out)
  file(READ ${SOURCE_DIR}/${file} content)
  string(FIND "${content}" "${text}" offset)
  string(SUBSTRING "${content}" 0 ${offset} before)
  string(REGEX REPLACE "[^\n]" "" newlines "${before}")
  string(LENGTH "${newlines}" count)
  math(EXPR line "${count} + 1")
  set(${out} ${line} PARENT_SCOPE)
endfunction()

# The rule an include of `target` (a path in the tree) breaks in a file classified as `f`, or "".
function(rule_broken target out)
  classify("${target}" t)
  set(rule "")
  if(t_kind STREQUAL "test" AND NOT f_kind STREQUAL "test")
    set(rule "test code is included by tests only")
  elseif(t_kind STREQUAL "test" AND t_level GREATER f_level)
    set(rule "${f_name} includes only test code of its layer and those below it")
  elseif(t_kind STREQUAL "tool" AND (f_kind STREQUAL "engine" OR f_kind STREQUAL "testing"))
    set(rule "the engine does not include the tools")
  elseif(t_kind STREQUAL "tool" AND t_tool STREQUAL "shared")
  elseif(t_kind STREQUAL "tool" AND f_tool STREQUAL t_tool)
  elseif(t_kind STREQUAL "tool" AND (t_level GREATER f_level OR (t_testing AND NOT f_testing)))
    set(rule "${t_name} links layers ${f_name} may not include")
  elseif(t_kind STREQUAL "testing" AND NOT f_testing)
    set(rule "Platform/Testing is for tests and the tools that link platform_testing")
  elseif(t_kind STREQUAL "engine" AND t_level GREATER f_level)
    if(f_kind STREQUAL "engine")
      set(rule "${f_name} includes only the layers below it")
    elseif(f_kind STREQUAL "tool")
      set(rule "${f_name} does not link ${t_name} (tools/Layers.cmake)")
    else()
      list(GET layer_folders ${f_level} highest)
      set(rule "${f_name} includes only the ${highest} layer and those below it")
    endif()
  endif()
  set(${out} "${rule}" PARENT_SCOPE)
endfunction()

# The highest layer any tool links.
set(all_tool_libraries "")
foreach(tool ${HM_TOOLS_DECLARED})
  list(APPEND all_tool_libraries ${HM_TOOL_LAYERS_${tool}} ${HM_TOOL_PROGRAM_LAYERS_${tool}})
endforeach()
layers_of_libraries("${all_tool_libraries}" tools_level ignored)

set(top_folders ${layer_folders} tools tests)
list(TRANSFORM top_folders REPLACE "/.*" "")
list(REMOVE_DUPLICATES top_folders)
set(source_patterns "")
foreach(folder ${top_folders})
  foreach(extension c cc cpp cxx h hh hpp inc ipp)
    list(APPEND source_patterns ${SOURCE_DIR}/${folder}/*.${extension})
  endforeach()
endforeach()
file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${source_patterns})
list(SORT files)

set(problems "")
foreach(file ${files})
  classify("${file}" f)
  if(f_level STREQUAL "undeclared")
    list(APPEND problems "${file}:1: ${f_name} declares no layers: add it to tools/Layers.cmake")
    continue()
  endif()
  if(f_kind STREQUAL "unplaced")
    list(APPEND problems "${file}:1: ${f_name} is not one of the game's layer folders (cmake/CheckLayers.cmake)")
    continue()
  endif()
  get_filename_component(folder ${file} DIRECTORY)
  file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(include_line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*" "\\1" header "${include_line}")
    set(rule "")
    if(header MATCHES "^(${platform_only_headers})$")
      if(NOT f_system)
        set(rule "only Platform/ includes SDL, OpenGL, EGL, MojoShader and POSIX headers")
      endif()
    elseif(include_line MATCHES "\"")
      # A path from the top of the tree, or one beside the file.
      set(target "")
      if(EXISTS ${SOURCE_DIR}/${header})
        set(target ${header})
      elseif(EXISTS ${SOURCE_DIR}/${folder}/${header})
        get_filename_component(target ${SOURCE_DIR}/${folder}/${header} ABSOLUTE)
        file(RELATIVE_PATH target ${SOURCE_DIR} ${target})
      endif()
      if(target)
        rule_broken("${target}" rule)
      endif()
    endif()
    if(rule)
      line_of(${file} "${include_line}" line)
      list(APPEND problems "${file}:${line}: includes ${header}: ${rule}")
    endif()
  endforeach()
endforeach()

list(LENGTH files file_count)
if(problems)
  list(LENGTH problems problem_count)
  string(REPLACE ";" "\n" report "${problems}")
  message("${report}")
  message(FATAL_ERROR "${problem_count} include(s) break the layering (read in ${file_count} files)")
endif()
message("The layering holds in ${file_count} files")
