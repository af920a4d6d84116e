# The item frame and the story dialogs: the "FrameSmall" layout they share, its pictures (dark
# wood and brass, drawn by the art tool from content/App/Art/Frames/), the font of its texts
# and the dialogs' voices, listed in App/Configs/Frames_Resources.xml.

set(frames_art ${CMAKE_SOURCE_DIR}/content/App/Art/Frames)
set(frames_dir ${HM_CONTENT_DIR}/App/Frames)
set(frames_files "")

# frames_picture(NAME DESCRIPTION [--set NAME=TEXT]...): Textures/NAME.bmp drawn from the description.
function(frames_picture name description)
  set(output ${frames_dir}/Textures/${name}.bmp)
  add_custom_command(OUTPUT ${output}
    COMMAND $<TARGET_FILE:art> ${frames_art}/${description} ${output} ${ARGN}
    DEPENDS art ${frames_art}/${description} VERBATIM)
  set(frames_files ${frames_files} ${output} PARENT_SCOPE)
endfunction()
frames_picture(Frame_Panel Panel.art)
frames_picture(Frame_Button Button.art --set "TOP=#f0cc70" --set "BOTTOM=#9a6a22")
frames_picture(Frame_ButtonOver Button.art --set "TOP=#f8e4a8" --set "BOTTOM=#c08a34")
frames_picture(Frame_ButtonClick Button.art --set "TOP=#9a6a22" --set "BOTTOM=#6a4a18")
frames_picture(Frame_CharPortrait Portrait.art --set "SKIN=#e0b890" --set "HAIR=#3b2716" --set "EYES=#1e140a"
  --set "EARS=36 60 44 36 64 30 84 36 92 60 64 46")
frames_picture(Frame_WolfPortrait Portrait.art --set "SKIN=#8a8a90" --set "HAIR=#4a4a52" --set "EYES=#f0a840"
  --set "EARS=36 54 40 18 56 40 72 40 88 18 92 54")

# The texts' font: every character the game's phrases use, in the six languages.
set(frames_font ${frames_dir}/Fonts/Frames.fnt)
set(game_dictionary ${CMAKE_SOURCE_DIR}/content/App/Configs/GameDictionary.xml)
add_custom_command(OUTPUT ${frames_font}
  COMMAND $<TARGET_FILE:fontmaker> ${HM_CONTENT_FONT} ${frames_font} --size 32 --chars latin,cyrillic
    --fallback ${HM_CONTENT_CJK_FONT} --charset-file ${game_dictionary}
  DEPENDS fontmaker ${game_dictionary} VERBATIM)
list(APPEND frames_files ${frames_font})

# The voices of the main story's dialogs and puzzle introductions: a murmur of a few seconds
# each, its notes and length varied by its number so no two sound alike.
set(frames_phrase_notes G3 A3 C4 D4 E4 D4 C4 A3 G3 E3 G3 A3)
set(frames_voices "")
foreach(number RANGE 1 27)
  if(number LESS 10)
    list(APPEND frames_voices story_00${number})
  else()
    list(APPEND frames_voices story_0${number})
  endif()
endforeach()
foreach(number RANGE 1 9)
  list(APPEND frames_voices minigames_00${number})
endforeach()
set(voice_index 0)
foreach(voice ${frames_voices})
  math(EXPR note_count "8 + ${voice_index} % 5")
  set(notes "")
  foreach(step RANGE 1 ${note_count})
    math(EXPR pick "(${voice_index} * 5 + ${step} * 7) % 12")
    list(GET frames_phrase_notes ${pick} note)
    math(EXPR rest "(${step} + ${voice_index}) % 4")
    if(rest EQUAL 0)
      list(APPEND notes ${note}:0.5 R:0.5)
    else()
      list(APPEND notes ${note}:0.75)
    endif()
  endforeach()
  set(output ${frames_dir}/Sounds/${voice}.wav)
  add_custom_command(OUTPUT ${output}
    COMMAND $<TARGET_FILE:soundgen> melody -o ${output} --wave triangle --tempo 180 --volume 0.3
      --attack 0.03 --release 0.12 ${notes}
    DEPENDS soundgen VERBATIM)
  list(APPEND frames_files ${output})
  math(EXPR voice_index "${voice_index} + 1")
endforeach()

set(frames_layout ${HM_CONTENT_DIR}/App/Layouts/FrameSmall.2dl)
add_custom_command(OUTPUT ${frames_layout}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/App/Layouts/FrameSmall.2dl ${frames_layout}
  DEPENDS ${CMAKE_SOURCE_DIR}/content/App/Layouts/FrameSmall.2dl VERBATIM)
list(APPEND frames_files ${frames_layout})

add_custom_target(frames_content ALL DEPENDS ${frames_files})
add_dependencies(content frames_content)
