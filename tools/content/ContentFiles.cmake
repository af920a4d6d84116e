# The content tree as the build's rules make it now, run by the build with `cmake -P`.
#
#   -DNINJA=PROGRAM -DBUILD_DIR=DIR -DCONTENT_DIR=DIR -DLIST=FILE -P ContentFiles.cmake
#     Writes to LIST (only when it changes) every file under CONTENT_DIR that a rule of the build
#     makes, one a line relative to CONTENT_DIR, read from Ninja's own graph; and removes from
#     CONTENT_DIR every other file: what an older build's rule made (a picture whose sprite was
#     dropped, a layout renamed) would otherwise stay in the tree the game reads and the archive.
#   -DLIST=FILE -DCONTENT_DIR=DIR -DOUTPUT=FILE -DDEPFILE=FILE -P ContentFiles.cmake
#     Writes the depfile saying OUTPUT was made from every file of LIST, so Ninja makes it again
#     when one of them changes or goes.

if(DEFINED DEPFILE)
  file(STRINGS ${LIST} names)
  set(text "")
  foreach(name IN LISTS names)
    string(REPLACE "\\" "\\\\" name "${CONTENT_DIR}/${name}")
    string(REPLACE " " "\\ " name "${name}")
    string(REPLACE "#" "\\#" name "${name}")
    string(REPLACE "$" "$$" name "${name}")
    string(APPEND text " \\\n  ${name}")
  endforeach()
  file(WRITE ${DEPFILE} "${OUTPUT}:${text}\n")
  return()
endif()

execute_process(COMMAND ${NINJA} -C ${BUILD_DIR} -t targets all
  OUTPUT_VARIABLE targets RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NINJA} -t targets all failed in ${BUILD_DIR}: ${errors}")
endif()
string(REPLACE "\n" ";" targets "${targets}")
set(made "")
foreach(line IN LISTS targets)
  # "OUTPUT: RULE", the output relative to the build folder or absolute.
  if(line MATCHES "^(.*): ([A-Za-z0-9_]+)$" AND NOT CMAKE_MATCH_2 STREQUAL "phony")
    set(output ${CMAKE_MATCH_1})
    if(NOT IS_ABSOLUTE "${output}")
      set(output ${BUILD_DIR}/${output})
    endif()
    string(FIND "${output}" "${CONTENT_DIR}/" at)
    if(at EQUAL 0)
      file(RELATIVE_PATH output ${CONTENT_DIR} ${output})
      list(APPEND made ${output})
    endif()
  endif()
endforeach()
list(REMOVE_DUPLICATES made)
list(SORT made)
if(NOT made)
  message(FATAL_ERROR "no rule of ${BUILD_DIR} makes a file under ${CONTENT_DIR}")
endif()

file(GLOB_RECURSE present LIST_DIRECTORIES false RELATIVE ${CONTENT_DIR} ${CONTENT_DIR}/*)
list(REMOVE_ITEM present ${made})
foreach(stale IN LISTS present)
  message(STATUS "Removing ${stale}: no rule of the build makes it")
  file(REMOVE ${CONTENT_DIR}/${stale})
endforeach()

string(REPLACE ";" "\n" text "${made}")
file(WRITE ${LIST}.new "${text}\n")
file(COPY_FILE ${LIST}.new ${LIST} ONLY_IF_DIFFERENT)
file(REMOVE ${LIST}.new)
