# Fuzzing of every loader of a file the game reads, with libFuzzer. The engine's layers are
# compiled once by clang in a sub-build of this source tree (build/fuzz/build, option
# HOLLOWMERE_FUZZ) with AddressSanitizer and UndefinedBehaviorSanitizer, and each target of
# tests/fuzz (NAME_fuzz.cc) is linked to them. Seeds are written at build time by the project's
# own tools into build/fuzz/seeds/NAME. Each target has two tests: "NAME_fuzz_replay" runs the
# seeds once, "NAME_fuzz_short" fuzzes for HM_FUZZ_SECONDS. Without clang the tests skip; a
# sanitizer build leaves fuzzing to the normal one (the targets are the same).

find_program(HM_CLANGXX NAMES clang++ clang++-16 clang++-15 clang++-14)
find_program(HM_CLANG NAMES clang clang-16 clang-15 clang-14)
set(HM_FUZZ_SECONDS 8 CACHE STRING "How long each fuzz target runs in its short test")
set(HM_FUZZ_JOBS 3 CACHE STRING "Compile jobs of the fuzzing sub-build")
set(HM_FUZZ_DIR ${CMAKE_BINARY_DIR}/fuzz)
set(hm_fuzzing ON)
if(NOT HM_CLANGXX OR NOT HM_CLANG)
  set(hm_fuzzing OFF)
  set(hm_fuzz_skip_reason "clang not found")
elseif(HOLLOWMERE_SANITIZE OR HOLLOWMERE_TSAN)
  set(hm_fuzzing OFF)
  set(hm_fuzz_skip_reason "fuzzing runs in the build without sanitizer options")
endif()

if(hm_fuzzing)
  include(ExternalProject)
  ExternalProject_Add(fuzz_targets
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${HM_FUZZ_DIR}/build
    CMAKE_GENERATOR Ninja
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=${HM_CLANGXX} -DCMAKE_C_COMPILER=${HM_CLANG}
               -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHOLLOWMERE_FUZZ=ON -DHOLLOWMERE_TESTS=OFF
               # -O1 with line tables: a third cheaper to compile than -O2 -g, as fast to fuzz.
               "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
               -DHM_FUZZ_GENERATED_DIR=${CMAKE_BINARY_DIR}/generated
               -DCMAKE_UNITY_BUILD=${CMAKE_UNITY_BUILD}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> -j ${HM_FUZZ_JOBS}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    DEPENDS quor_shaders)
endif()

# hm_fuzz_target(NAME [COMMAND ...]... [DEPENDS ...]): the tests of the program NAME_fuzz; the
# commands write its seeds into ${HM_FUZZ_DIR}/seeds/NAME at build time.
function(hm_fuzz_target name)
  set(replay ${name}_fuzz_replay)
  set(short ${name}_fuzz_short)
  if(NOT hm_fuzzing)
    foreach(test ${replay} ${short})
      add_test(NAME ${test} COMMAND sh -c "echo '${hm_fuzz_skip_reason}: fuzzing skipped'; exit 77")
      set_tests_properties(${test} PROPERTIES SKIP_RETURN_CODE 77 LABELS fuzz)
    endforeach()
    return()
  endif()
  set(seeds ${HM_FUZZ_DIR}/seeds/${name})
  set(stamp ${HM_FUZZ_DIR}/seeds/${name}.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${seeds} ${HM_FUZZ_DIR}/scratch
    ${ARGN}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    COMMENT "Writing the seeds of the ${name} fuzz target"
    VERBATIM)
  add_custom_target(${name}_fuzz_seeds ALL DEPENDS ${stamp})

  set(program ${HM_FUZZ_DIR}/build/bin/${name}_fuzz)
  set(work ${HM_FUZZ_DIR}/work/${name})
  set(findings ${HM_FUZZ_DIR}/findings)
  # The folders of the grown corpus and of the findings are made when missing.
  set(run sh -c "mkdir -p ${work} ${findings} && exec \"$@\"" fuzz ${program} -artifact_prefix=${findings}/${name}-)
  add_test(NAME ${replay} COMMAND ${run} -runs=0 ${seeds})
  add_test(NAME ${short}
    COMMAND ${run} -max_total_time=${HM_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=512
            ${work} ${seeds})
  set_tests_properties(${replay} ${short} PROPERTIES TIMEOUT 120 LABELS fuzz)
  set_tests_properties(${short} PROPERTIES DEPENDS ${replay})
endfunction()

# The seeds. Pictures start from the on-screen keyboard's button pictures.
set(s ${HM_FUZZ_DIR}/seeds)
set(t ${CMAKE_SOURCE_DIR}/tests/fuzz/seeds)
set(scratch ${HM_FUZZ_DIR}/scratch)
set(picture ${scratch}/Cursor.png)
hm_fuzz_target(texture
  COMMAND $<TARGET_FILE:comictool> osk ${scratch}
  COMMAND $<TARGET_FILE:texture> decode ${scratch}/Cursor.mpt ${picture}
  COMMAND $<TARGET_FILE:texture> encode ${picture} ${s}/texture/rgba.mpt --format rgba
  COMMAND $<TARGET_FILE:texture> encode ${picture} ${s}/texture/rgbz.mpt --format rgbz
  COMMAND $<TARGET_FILE:texture> encode ${picture} ${s}/texture/dctz.mpt --format dctz --quality 30
  COMMAND $<TARGET_FILE:texture> encode ${picture} ${s}/texture/picture.dctz --quality 90
  COMMAND $<TARGET_FILE:texture> encode ${picture} ${s}/texture/picture.bmp
  DEPENDS comictool texture)
# JPT seeds in a scratch folder of their own: the texture seeds may be written at the same time.
hm_fuzz_target(jpt
  COMMAND ${CMAKE_COMMAND} -E make_directory ${scratch}/jpt
  COMMAND $<TARGET_FILE:comictool> osk ${scratch}/jpt
  COMMAND $<TARGET_FILE:texture> decode ${scratch}/jpt/Cursor.mpt ${scratch}/jpt/Cursor.png
  COMMAND $<TARGET_FILE:texture> encode ${scratch}/jpt/Cursor.png ${s}/jpt/cursor.jpt --quality 60
  COMMAND $<TARGET_FILE:texture> encode ${scratch}/jpt/Cursor.png ${s}/jpt/cursor-fine.jpt --quality 98
  DEPENDS comictool texture)
# Mask seeds of both formats, from a picture in a scratch folder of their own.
hm_fuzz_target(mask
  COMMAND ${CMAKE_COMMAND} -E make_directory ${scratch}/mask
  COMMAND $<TARGET_FILE:comictool> osk ${scratch}/mask
  COMMAND $<TARGET_FILE:texture> decode ${scratch}/mask/Cursor.mpt ${scratch}/mask/Cursor.png
  COMMAND $<TARGET_FILE:texture> mask ${scratch}/mask/Cursor.png ${s}/mask/bytes.msk
  COMMAND $<TARGET_FILE:texture> mask ${scratch}/mask/Cursor.png ${s}/mask/bits.msk --bits --threshold 128
  DEPENDS comictool texture)
# Paint-region mask seeds: a region's size text, a zero byte and its pixels, as the texture tool
# cuts them from a picture.
hm_fuzz_target(paint_mask
  COMMAND ${CMAKE_COMMAND} -E make_directory ${scratch}/paint_mask
  COMMAND $<TARGET_FILE:comictool> osk ${scratch}/paint_mask
  COMMAND $<TARGET_FILE:texture> decode ${scratch}/paint_mask/Cursor.mpt ${scratch}/paint_mask/Cursor.png
  COMMAND $<TARGET_FILE:texture> region ${scratch}/paint_mask/Cursor.png ${scratch}/paint_mask/1.raw
          ${scratch}/paint_mask/1.tif
  COMMAND sh -c "cat \"$1/1.tif\" > \"$2\" && printf '\\000' >> \"$2\" && cat \"$1/1.raw\" >> \"$2\""
          seed ${scratch}/paint_mask ${s}/paint_mask/region.bin
  DEPENDS comictool texture)
# Cursor seeds of both depths, from the same picture in a scratch folder of their own.
hm_fuzz_target(cursor
  COMMAND ${CMAKE_COMMAND} -E make_directory ${scratch}/cursor
  COMMAND $<TARGET_FILE:comictool> osk ${scratch}/cursor
  COMMAND $<TARGET_FILE:texture> decode ${scratch}/cursor/Cursor.mpt ${scratch}/cursor/Cursor.png
  COMMAND $<TARGET_FILE:curtool> write ${scratch}/cursor/Cursor.png ${s}/cursor/deep.cur 1 2
  COMMAND $<TARGET_FILE:curtool> write ${scratch}/cursor/Cursor.png ${s}/cursor/mask.cur 0 0 --bits 24
  DEPENDS comictool texture curtool)
# Every XML format also gets a document of 100,000 nested elements, which must be refused
# whole rather than parsed level by level down the stack.
set(deep_xml sh -c "yes '<a>' | head -n 100000 | tr -d '\\n' > \"$1\"" deep-xml)
hm_fuzz_target(reslist
  COMMAND ${deep_xml} ${s}/reslist/deep.xml
  COMMAND ${CMAKE_COMMAND} -E copy ${t}/reslist/nested.xml ${t}/reslist/flags.xml ${s}/reslist
  DEPENDS ${t}/reslist/nested.xml ${t}/reslist/flags.xml)
hm_fuzz_target(dictionary
  COMMAND ${deep_xml} ${s}/dictionary/deep.xml
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/System/Configs/SystemDictionary.xml ${s}/dictionary
  DEPENDS ${CMAKE_SOURCE_DIR}/content/System/Configs/SystemDictionary.xml)
hm_fuzz_target(world
  COMMAND ${deep_xml} ${s}/world/deep.xml
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/App/Configs/GameInfo.xml ${s}/world
  DEPENDS ${CMAKE_SOURCE_DIR}/content/App/Configs/GameInfo.xml)
hm_fuzz_target(tutorial
  COMMAND ${deep_xml} ${s}/tutorial/deep.xml
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/App/Tutorials/Tutorials.xml ${s}/tutorial
  DEPENDS ${CMAKE_SOURCE_DIR}/content/App/Tutorials/Tutorials.xml)
hm_fuzz_target(subtitles
  COMMAND ${deep_xml} ${s}/subtitles/deep.xml
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/App/Comics/IntroSubtitles.xml ${s}/subtitles
  DEPENDS ${CMAKE_SOURCE_DIR}/content/App/Comics/IntroSubtitles.xml)
hm_fuzz_target(layout
  COMMAND ${deep_xml} ${s}/layout/deep.xml
  COMMAND ${CMAKE_COMMAND} -E copy ${t}/layout/screen.2dl ${t}/layout/stops-half-way.2dl
          ${CMAKE_SOURCE_DIR}/content/Sample/Menu.2dl ${s}/layout
  DEPENDS ${t}/layout/screen.2dl ${t}/layout/stops-half-way.2dl ${CMAKE_SOURCE_DIR}/content/Sample/Menu.2dl)
hm_fuzz_target(effect
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/content/Shaders/Grayscale.fxc ${CMAKE_BINARY_DIR}/content/Shaders/Tex1Skin.fxc
          ${CMAKE_BINARY_DIR}/content/Shaders/Tex1Proj.fx ${s}/effect
  COMMAND $<TARGET_FILE:fxtool> ${CMAKE_SOURCE_DIR}/content/Shaders/Blur.fxc.txt ${s}/effect/Blur.fxc --version 0x100
  DEPENDS effects fxtool)
hm_fuzz_target(font
  COMMAND $<TARGET_FILE:fontmaker> --fixture ${s}/font/fixture.fnt
  COMMAND $<TARGET_FILE:fontmaker> /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf ${s}/font/small.fnt --size 5 --chars latin
          --padding 0 --bmp ${s}/font/small.fnt.bmp
  DEPENDS fontmaker)
hm_fuzz_target(wave
  COMMAND $<TARGET_FILE:soundgen> tone -o ${s}/wave/tone.wav --freq 880 --duration 0.01
  COMMAND $<TARGET_FILE:soundgen> chord -o ${s}/wave/chord.wav --freq 262,330 --duration 0.01 --pan 0.5
  DEPENDS soundgen)
# hm_described_seeds(TARGET TOOL KIND SUFFIX NAME... [COMMAND ...]...): the target's seeds NAME.SUFFIX
# written by "TOOL KIND tests/fuzz/seeds/NAME.SUFFIX.txt OUT", and any further commands.
function(hm_described_seeds target tool kind suffix)
  set(commands "")
  set(rest ${ARGN})
  while(rest)
    list(POP_FRONT rest name)
    if(name STREQUAL "COMMAND")
      list(PREPEND rest COMMAND)
      break()
    endif()
    list(APPEND commands COMMAND $<TARGET_FILE:${tool}> ${kind} ${t}/${name}.${suffix}.txt ${s}/${target}/${name}.${suffix})
  endwhile()
  hm_fuzz_target(${target} ${commands} ${rest} DEPENDS ${tool})
endfunction()
hm_described_seeds(model modeltool bmo bmo arm old COMMAND $<TARGET_FILE:modeltool> strip Skin 2 ${s}/model/strip.bmo)
hm_described_seeds(scene modeltool bsc bsc room old)
hm_described_seeds(animation modeltool ban ban walk old)
hm_described_seeds(coltree modeltool bct bct walls old)
hm_described_seeds(atlas modeltool atlas atlas buttons)
hm_described_seeds(comic comictool cmx cmx page)
hm_described_seeds(spline spline path spl open closed)
hm_described_seeds(camera spline camera cam fly)
hm_described_seeds(graph graphtool agr agr ring line COMMAND $<TARGET_FILE:graphtool> grid 4 3 20 7 ${s}/graph/grid.agr)
hm_described_seeds(dynamesh graphtool mesh msh wave plain)
hm_fuzz_target(gcfg
  COMMAND ${CMAKE_COMMAND} -E copy ${t}/gcfg/subtitles.gcfg ${CMAKE_SOURCE_DIR}/content/OSK/osk.gcfg ${s}/gcfg)
hm_fuzz_target(input
  COMMAND ${CMAKE_COMMAND} -E copy ${t}/input/keys.txt ${t}/input/bad.txt ${s}/input)
# Saves have no writer but the save medium itself: the target starts from nothing and saves
# every input back.
hm_fuzz_target(save)
# Archive directories of every version, over the sample content of tests/fuzz/seed-content.
file(GLOB_RECURSE vfs_seed_content CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/seed-content/*)
set(vfs_commands "")
foreach(version 0x100 0x101 0x102 0x103)
  list(APPEND vfs_commands
    COMMAND $<TARGET_FILE:pk2> pack ${CMAKE_SOURCE_DIR}/tests/fuzz/seed-content ${scratch}/v${version}
            --version ${version} --volume-size 64
    COMMAND ${CMAKE_COMMAND} -E copy ${scratch}/v${version}.PK2 ${s}/vfs/v${version}.PK2)
endforeach()
hm_fuzz_target(vfs ${vfs_commands} DEPENDS pk2 ${vfs_seed_content})
hm_described_seeds(ptc ptctool ptc ptc fire)
