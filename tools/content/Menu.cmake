# The main menu and the loading screens: the title screen's layout "CollectorsMainMenu" and its
# pictures (drawn by the art tool from content/App/Art/Menu/), the menu's resource list and its
# music "menu" (its sounds are the story's own files; its effects are built with the game's
# other effect files from content/Art/GUI/MainMenu/Effects/), and the loading screens' pictures
# in each language, the bonus chapter's among them, from content/App/Art/Loading/.

set(menu_art ${CMAKE_SOURCE_DIR}/content/App/Art/Menu)
set(menu_textures ${HM_CONTENT_DIR}/App/Menu/Textures)
set(menu_files "")
macro(menu_picture name description)
  hm_area_picture(menu_files ${menu_art} ${menu_textures}/${name}.bmp ${description} ${ARGN})
endmacro()
menu_picture(Menu_Sky Sky.art)
menu_picture(Menu_Cloud Cloud.art)
menu_picture(Menu_House House.art)
menu_picture(Menu_HouseLight HouseLight.art)
menu_picture(Menu_TreesL Trees.art)
menu_picture(Menu_TreesR TreesRight.art)
menu_picture(Menu_Branch Branch.art)
menu_picture(Menu_Ground Ground.art)
menu_picture(Menu_GraveStone GraveStone.art)
menu_picture(Menu_GraveLight Glow.art --set "COLOUR=#a0d0c0c0")
menu_picture(Menu_LogoGlow Glow.art --set "COLOUR=#f0a84090")
menu_picture(Menu_Vase Vase.art)
menu_picture(Menu_Statue Statue.art)
menu_picture(Menu_Button ButtonPlate.art --set "RIM=#9a6a22" --set "TOP=#4a3220" --set "BOTTOM=#2a1c10")
menu_picture(Menu_ButtonActive ButtonPlate.art --set "RIM=#f8d888" --set "TOP=#6a4a2a" --set "BOTTOM=#3b2716")
menu_picture(Menu_PlayButton PlayButton.art --set "TOP=#4a3220" --set "BOTTOM=#2a1c10" --set "MARK=#f0cc70")
menu_picture(Menu_PlayButtonOver PlayButton.art --set "TOP=#6a4a2a" --set "BOTTOM=#3b2716" --set "MARK=#f8e4a8")
menu_picture(Menu_PlayButtonClicked PlayButton.art --set "TOP=#2a1c10" --set "BOTTOM=#1e140a" --set "MARK=#c08a34")
menu_picture(Menu_PlayButtonBG PlayButtonBG.art)
# The title in each language the menu has a logo for.
foreach(pair "EN|A hidden-object mystery" "DE|Ein Wimmelbild-Rätsel" "FR|Un mystère d'objets cachés"
             "ES|Un misterio de objetos ocultos" "IT|Un mistero di oggetti nascosti" "NL|Een zoekplaatmysterie"
             "RU|Тайна спрятанных вещей")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 suffix)
  list(GET pair 1 subtitle)
  menu_picture(Menu_Logo${suffix} Title.art --set TITLE=Hollowmere --set "SUBTITLE=${subtitle}")
endforeach()

# The loading screens: a label per language, a picture per language with its own (Dutch shows
# the English one), the bonus chapter's under Collectors/, and the progress dot.
set(loading_art ${CMAKE_SOURCE_DIR}/content/App/Art/Loading)
set(loading_textures ${HM_CONTENT_DIR}/Art/GUI/Loading/Textures)
foreach(pair "EN|Loading" "DE|Lädt" "FR|Chargement" "ES|Cargando" "IT|Caricamento" "NL|Laden" "RU|Загрузка")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 suffix)
  list(GET pair 1 label)
  hm_area_picture(menu_files ${loading_art} ${loading_textures}/${suffix}.mpt Label.art --set "TEXT=${label}")
endforeach()
foreach(suffix "" DE FR ES IT RU)
  hm_area_picture(menu_files ${loading_art} ${loading_textures}/Background${suffix}.mpt Background.art
    --set TITLE=Hollowmere --set "ACCENT=#f0c060")
  hm_area_picture(menu_files ${loading_art} ${loading_textures}/Collectors/Background${suffix}.mpt Background.art
    --set "TITLE=Hollowmere: The Collector" --set "ACCENT=#a0d0c0")
endforeach()
hm_area_picture(menu_files ${loading_art} ${loading_textures}/Dot.mpt Dot.art)

# The menu's theme: a slow, quiet phrase in the village's minor key, looped.
set(menu_music ${HM_CONTENT_DIR}/Music/menu.wav)
add_custom_command(OUTPUT ${menu_music}
  COMMAND $<TARGET_FILE:soundgen> melody -o ${menu_music} --wave triangle --tempo 66 --attack 0.1 --decay 0.3
    --sustain 0.6 --release 0.5 --volume 0.12 A3+C4+E4:2 E4:1 D4:1 C4:2 B3:2 A3+C4+F4:2 G4:1 E4:1 E3+Ab3+B3:4
  DEPENDS soundgen VERBATIM)
list(APPEND menu_files ${menu_music})

foreach(file App/Layouts/CollectorsMainMenu.2dl App/Configs/Menu_Resources.xml)
  set(target ${HM_CONTENT_DIR}/${file})
  add_custom_command(OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/${file} ${target}
    DEPENDS ${CMAKE_SOURCE_DIR}/content/${file} VERBATIM)
  list(APPEND menu_files ${target})
endforeach()

add_custom_target(menu_content ALL DEPENDS ${menu_files})
add_dependencies(content menu_content)
