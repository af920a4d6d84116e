# The cursor set: the sprite's texture animations (frames under Art/GUI/Cursor/Textures/, declared in
# App/Configs/Common_Resources.xml) and the window cursors, the twelve ".cur" files the game
# reads from "VFS/Cursors/" below its working directory, which is the program's own folder
# (build/bin/ here, bin/ once installed). All are drawn by the art tool from the descriptions in
# content/Art/GUI/Cursor/; the window cursors go through curtool.

set(cursor_src ${CMAKE_SOURCE_DIR}/content/Art/GUI/Cursor)
set(cursor_frames_dir ${HM_CONTENT_DIR}/Art/GUI/Cursor/Textures)
set(cursor_files_dir ${CMAKE_BINARY_DIR}/bin/VFS/Cursors)
set(cursor_scratch ${CMAKE_BINARY_DIR}/cursor_pictures)
set(cursor_outputs "")

# hm_cursor_picture(OUTPUT DESCRIPTION [--set NAME=TEXT]...): one picture of the cursor set.
function(hm_cursor_picture output description)
  add_custom_command(OUTPUT ${output}
    COMMAND $<TARGET_FILE:art> ${cursor_src}/${description} ${output} ${ARGN}
    DEPENDS art ${cursor_src}/${description} VERBATIM)
  set(cursor_outputs ${cursor_outputs} ${output} PARENT_SCOPE)
endfunction()

# hm_cursor_file(NAME HOTX HOTY DESCRIPTION [--set NAME=TEXT]...): VFS/Cursors/NAME.cur.
function(hm_cursor_file name hot_x hot_y description)
  set(picture ${cursor_scratch}/${name}.png)
  set(output ${cursor_files_dir}/${name}.cur)
  add_custom_command(OUTPUT ${output} BYPRODUCTS ${picture}
    COMMAND $<TARGET_FILE:art> ${cursor_src}/${description} ${picture} ${ARGN}
    COMMAND $<TARGET_FILE:curtool> write ${picture} ${output} ${hot_x} ${hot_y}
    DEPENDS art curtool ${cursor_src}/${description} VERBATIM)
  set(cursor_outputs ${cursor_outputs} ${output} PARENT_SCOPE)
endfunction()

# The standard arrow; its sprite plays a glint down the arrow's edge when hovered or pressed.
set(no_glint --set GLINT_ALPHA=00 --set GLINT_X=2 --set GLINT_Y=2)
hm_cursor_file(Standard 1 1 Standard.art ${no_glint})
hm_cursor_picture(${cursor_frames_dir}/Standard0.mpt Standard.art ${no_glint})
set(glint_frame 1)
foreach(glint "4 9" "6 15" "8 20")
  string(REPLACE " " ";" glint "${glint}")
  list(GET glint 0 glint_x)
  list(GET glint 1 glint_y)
  hm_cursor_picture(${cursor_frames_dir}/Standard${glint_frame}.mpt Standard.art
    --set GLINT_ALPHA=e0 --set GLINT_X=${glint_x} --set GLINT_Y=${glint_y})
  math(EXPR glint_frame "${glint_frame} + 1")
endforeach()

# The object hand, open and closing.
set(open_hand --set FINGER=11 --set FINGER_TOP=6 --set FINGER_LONG=13 --set FINGER_TOP_LONG=4)
set(closed_hand --set FINGER=6 --set FINGER_TOP=11 --set FINGER_LONG=7 --set FINGER_TOP_LONG=10)
hm_cursor_file(Object1 16 20 Object.art ${open_hand})
hm_cursor_file(Object2 16 20 Object.art ${closed_hand})
hm_cursor_picture(${cursor_frames_dir}/Object1.mpt Object.art ${open_hand})
hm_cursor_picture(${cursor_frames_dir}/Object2.mpt Object.art ${closed_hand})

# The magnifier.
hm_cursor_file(Hidden 12 12 Hidden.art)
hm_cursor_picture(${cursor_frames_dir}/Hidden.mpt Hidden.art)

# The exit arrows: one outline pointing north turned by 45 degrees a direction (N, NE, E, SE, S,
# SW, W, NW: "Exit", then "Exit2" to "Exit8"), the hot spot on its tip. Whole-number maths: the
# cosines and sines in thousandths.
set(arrow_outline 0 -14 10 -3 4 -3 4 13 -4 13 -4 -3 -10 -3)
set(cosines 1000 707 0 -707 -1000 -707 0 707)
set(sines 0 707 1000 707 0 -707 -1000 -707)
foreach(direction RANGE 7)
  list(GET cosines ${direction} c)
  list(GET sines ${direction} s)
  set(points "")
  set(index 0)
  list(LENGTH arrow_outline outline_length)
  while(index LESS outline_length)
    list(GET arrow_outline ${index} x)
    math(EXPR next "${index} + 1")
    list(GET arrow_outline ${next} y)
    math(EXPR turned_x "16 + (${x} * ${c} - ${y} * ${s}) / 1000")
    math(EXPR turned_y "16 + (${x} * ${s} + ${y} * ${c}) / 1000")
    string(APPEND points "${turned_x} ${turned_y} ")
    if(index EQUAL 0)
      set(tip_x ${turned_x})
      set(tip_y ${turned_y})
    endif()
    math(EXPR index "${index} + 2")
  endwhile()
  string(STRIP "${points}" points)
  if(direction EQUAL 0)
    set(name Exit)
  else()
    math(EXPR number "${direction} + 1")
    set(name Exit${number})
  endif()
  set(arrow --set "POINTS=${points}" --set TIP_X=${tip_x} --set TIP_Y=${tip_y})
  hm_cursor_file(${name} ${tip_x} ${tip_y} Exit.art ${arrow})
  # The sprite turns one picture, the northern arrow.
  if(direction EQUAL 0)
    hm_cursor_picture(${cursor_frames_dir}/Exit.mpt Exit.art ${arrow})
  endif()
endforeach()

add_custom_target(cursor_content ALL DEPENDS ${cursor_outputs})
add_dependencies(content cursor_content)
install(DIRECTORY ${cursor_files_dir} DESTINATION bin/VFS)
