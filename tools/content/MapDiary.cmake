# The map and the diary: the "Map" layout with its parchment and markers, the "Diary" frame
# with its book, arrows and close button, one page layout per diary page (made from one
# template), their pictures drawn by the art tool from content/App/Art/MapDiary/, the font "Diary"
# of their texts and the list App/Configs/MapDiary_Resources.xml that names them. The page texts
# are the game's phrases.
set(mapdiary_dir ${HM_CONTENT_DIR}/App/MapDiary)
set(mapdiary_textures ${mapdiary_dir}/Textures)
set(mapdiary_art ${CMAKE_SOURCE_DIR}/content/App/Art/MapDiary)
set(mapdiary_files "")
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Map_Parchment.bmp Parchment.art)
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Map_Place.bmp Place.art)
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Map_Interest.bmp Interest.art)
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Map_Search.bmp Search.art)
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Map_Puzzle.bmp Puzzle.art)
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Map_Locked.bmp Locked.art)
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Map_Dot.bmp Dot.art)
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Map_Player.bmp Player.art)
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Map_Close.bmp Close.art --set "TONE=#f0cc70")
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Map_ClosePressed.bmp Close.art --set "TONE=#fff0b0")
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Diary_Book.bmp Book.art)
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Diary_Flourish.bmp Flourish.art)
set(mapdiary_left "POINTS=44 8 12 32 44 56 44 42 28 32 44 22")
set(mapdiary_right "POINTS=20 8 52 32 20 56 20 42 36 32 20 22")
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Diary_LeftArrow.bmp Arrow.art --set SIDE=left --set "TONE=#c8a050" --set ${mapdiary_left})
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Diary_LeftArrowPressed.bmp Arrow.art --set SIDE=left --set "TONE=#fff0b0"
  --set ${mapdiary_left})
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Diary_RightArrow.bmp Arrow.art --set SIDE=right --set "TONE=#c8a050"
  --set ${mapdiary_right})
hm_area_picture(mapdiary_files ${mapdiary_art} ${mapdiary_textures}/Diary_RightArrowPressed.bmp Arrow.art --set SIDE=right --set "TONE=#fff0b0"
  --set ${mapdiary_right})

# The texts' font, for the pages in every language of the game.
add_custom_command(OUTPUT ${mapdiary_dir}/Fonts/Diary.fnt
  COMMAND $<TARGET_FILE:fontmaker> ${HM_CONTENT_FONT} ${mapdiary_dir}/Fonts/Diary.fnt --size 24 --chars latin,cyrillic
  DEPENDS fontmaker VERBATIM)
list(APPEND mapdiary_files ${mapdiary_dir}/Fonts/Diary.fnt)

# The layouts and the list, copied as they are.
foreach(file App/Layouts/Map.2dl App/Layouts/Diary.2dl App/Configs/MapDiary_Resources.xml)
  get_filename_component(name ${file} NAME)
  if(file MATCHES "^App/Layouts/")
    set(target ${mapdiary_dir}/${name})
  else()
    set(target ${HM_CONTENT_DIR}/${file})
  endif()
  add_custom_command(OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/${file} ${target}
    DEPENDS ${CMAKE_SOURCE_DIR}/content/${file} VERBATIM)
  list(APPEND mapdiary_files ${target})
endforeach()

# One page layout per diary page the main story names, in the order the saves number them.
set(mapdiary_pages S01_1_Entry S04_1_Entry S07_1_Entry S08_1_Entry S15_1_Entry S16_1_Entry S19_1_Entry
  S22_1_Entry S23_1_Entry S33_1_Entry S35_1_Entry I01_1_Entry I03_1_Entry I06_1_Entry I07_1_Entry
  I10_1_Entry I19_1_Entry CS01_1_Entry CI05_1_Entry)
foreach(KEY ${mapdiary_pages})
  hm_configured_file(mapdiary_files ${CMAKE_SOURCE_DIR}/content/App/Layouts/DiaryEntry.2dl.in ${mapdiary_dir}/${KEY}.2dl)
endforeach()

add_custom_target(mapdiary_content ALL DEPENDS ${mapdiary_files})
add_dependencies(content mapdiary_content)
