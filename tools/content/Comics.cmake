# The comics: the intro, the main story's outro and the bonus chapter's outro. Their pages are
# drawn by the art tool from content/App/Art/Comics/ into each comic's Textures folder, the
# comics made by comictool from content/App/Comics/<Name>.txt, their subtitles and resource
# lists copied, the music "intro" and "outro" played by soundgen from the scores beside them, and
# the SKIP button's pictures and the two fonts (every character of the game's phrases) made
# into App/Comics/. The intro's effects are built with the game's other effect files from
# content/Art/Intro/Effects/.

set(comics_art ${CMAKE_SOURCE_DIR}/content/App/Art/Comics)
set(comics_src ${CMAKE_SOURCE_DIR}/content/App/Comics)
set(comics_dir ${HM_CONTENT_DIR}/App/Comics)
set(comics_files "")
macro(comic_page folder name description)
  hm_area_picture(comics_files ${comics_art} ${HM_CONTENT_DIR}/${folder}/Textures/${name}.dctz ${description}
    ${ARGN})
endmacro()

set(night_sky --set "SKY0=#05090a" --set "SKY1=#0c1c22" --set "GLOW=#6a8a8030")
set(dawn_sky --set "SKY0=#6a8aa0" --set "SKY1=#f0c090" --set "GLOW=#f8e4a890")
comic_page(Art/Intro IntroPage1 Street.art ${night_sky} --set "WINDOW=#f0a840" --set SEED=101)
comic_page(Art/Intro IntroPage2 Desk.art --set "LIGHT=#6a8a8040" --set SEED=102)
comic_page(Art/Intro IntroPage3 Match.art --set SEED=103)
comic_page(Art/Intro IntroPage4 Desk.art --set "LIGHT=#f0a84070" --set SEED=104)
comic_page(Art/Intro IntroPage5 Stairs.art --set "PAPER=#3a2a1e" --set SEED=105)
comic_page(Art/Intro IntroPage6 Coach.art ${night_sky} --set SEED=106)
comic_page(Art/Intro IntroPage7 Manor.art ${night_sky} --set "WINDOW=#0e1a1c" --set "MIST=#a0b8b060"
  --set SEED=107)
comic_page(Art/Intro IntroPage8 Gate.art --set SEED=108)
comic_page(Art/Outro OutroPage1 Lake.art --set "SKY0=#2a4a5a" --set "SKY1=#c0a080" --set "LIGHTS=#f8e4a840"
  --set "MIST=#f4e6c440" --set SEED=201)
comic_page(Art/Outro OutroPage2 Manor.art ${dawn_sky} --set "WINDOW=#f0cc70" --set "MIST=#f4e6c430" --set SEED=202)
comic_page(Art/Outro OutroPage3 Street.art ${dawn_sky} --set "WINDOW=#f8d888" --set SEED=203)
comic_page(Art/Outro OutroPage4 Coach.art ${dawn_sky} --set SEED=204)
comic_page(Art/Outro/Collectors OutroCePage1 Shelves.art --set SEED=301)
comic_page(Art/Outro/Collectors OutroCePage2 Street.art --set "SKY0=#0c1c22" --set "SKY1=#3a4a5a"
  --set "GLOW=#f0a84040" --set "WINDOW=#f8d888" --set SEED=302)
comic_page(Art/Outro/Collectors OutroCePage3 Manor.art ${night_sky} --set "WINDOW=#f0cc70" --set "MIST=#a0b8b030"
  --set SEED=303)

foreach(pair "Intro|Art/Intro/comix1.cmx" "Outro|Art/Outro/outro.cmx" "OutroCe|Art/Outro/Collectors/outroCe.cmx")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 comic)
  set(target ${HM_CONTENT_DIR}/${comic})
  add_custom_command(OUTPUT ${target}
    COMMAND $<TARGET_FILE:comictool> cmx ${comics_src}/${name}.txt ${target}
    DEPENDS comictool ${comics_src}/${name}.txt VERBATIM)
  set(subtitles ${comics_dir}/${name}Subtitles.xml)
  add_custom_command(OUTPUT ${subtitles}
    COMMAND ${CMAKE_COMMAND} -E copy ${comics_src}/${name}Subtitles.xml ${subtitles}
    DEPENDS ${comics_src}/${name}Subtitles.xml VERBATIM)
  list(APPEND comics_files ${target} ${subtitles})
endforeach()

foreach(name intro outro)
  set(music ${HM_CONTENT_DIR}/Music/${name}.wav)
  if(name STREQUAL intro)
    set(score ${comics_src}/IntroMusic.txt)
  else()
    set(score ${comics_src}/OutroMusic.txt)
  endif()
  add_custom_command(OUTPUT ${music}
    COMMAND $<TARGET_FILE:soundgen> melody -o ${music} --wave triangle --tempo 60 --attack 0.1 --decay 0.3
      --sustain 0.6 --release 0.5 --volume 0.12 --file ${score}
    DEPENDS soundgen ${score} VERBATIM)
  list(APPEND comics_files ${music})
endforeach()

hm_area_picture(comics_files ${comics_art} ${comics_dir}/Textures/Comics_Outline.bmp SkipButton.art
  --set "RIM=#9a6a22" --set "TOP=#4a3220" --set "BOTTOM=#2a1c10")
hm_area_picture(comics_files ${comics_art} ${comics_dir}/Textures/Comics_OutlineClicked.bmp SkipButton.art
  --set "RIM=#f8d888" --set "TOP=#6a4a2a" --set "BOTTOM=#3b2716")

set(comics_dictionary ${CMAKE_SOURCE_DIR}/content/App/Configs/GameDictionary.xml)
foreach(pair "Subs|32" "Button|24")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 size)
  set(font ${comics_dir}/Fonts/${name}.fnt)
  add_custom_command(OUTPUT ${font}
    COMMAND $<TARGET_FILE:fontmaker> ${HM_CONTENT_FONT} ${font} --size ${size} --chars latin,cyrillic
      --fallback ${HM_CONTENT_CJK_FONT} --charset-file ${comics_dictionary}
    DEPENDS fontmaker ${comics_dictionary} VERBATIM)
  list(APPEND comics_files ${font})
endforeach()

foreach(file App/Configs/Comics_Resources.xml App/Configs/Intro_Resources.xml App/Configs/Outro_Resources.xml
    App/Configs/Collectors/OutroCe_Resources.xml)
  set(target ${HM_CONTENT_DIR}/${file})
  add_custom_command(OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/${file} ${target}
    DEPENDS ${CMAKE_SOURCE_DIR}/content/${file} VERBATIM)
  list(APPEND comics_files ${target})
endforeach()

add_custom_target(comics_content ALL DEPENDS ${comics_files})
add_dependencies(content comics_content)
