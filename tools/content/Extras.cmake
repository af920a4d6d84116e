# The extras menu "Extras" and its wallpaper page "WallpaperSelection" (hand-written in
# content/App/Layouts/, drawn with the jigsaw page's plates and arrows), the three wallpapers
# at both sizes, Wallpapers/Wallpaper<N>_<W>x<H>.bmp, and their previews: the jigsaw's three
# scenes drawn again at each size. All are listed in App/Configs/Menu_Resources.xml.
set(extras_art ${CMAKE_SOURCE_DIR}/content/App/Art/Extras)
set(extras_files "")

set(extras_scenes Mansion Village Lighthouse)
set(extras_number 0)
foreach(scene IN LISTS extras_scenes)
  math(EXPR extras_number "${extras_number} + 1")
  foreach(size 1024x768 1280x800)
    set(output ${HM_CONTENT_DIR}/Wallpapers/Wallpaper${extras_number}_${size}.bmp)
    hm_location_background(${output} ${extras_art}/${scene}.art --size ${size})
    list(APPEND extras_files ${output})
  endforeach()
  set(preview ${HM_CONTENT_DIR}/App/Extras/Textures/Wallpaper_Preview${extras_number}.bmp)
  hm_location_background(${preview} ${extras_art}/${scene}.art --size 384x240)
  list(APPEND extras_files ${preview})
endforeach()

hm_copy_layouts(extras_files Extras WallpaperSelection)

add_custom_target(extras_content ALL DEPENDS ${extras_files})
add_dependencies(content extras_content)
