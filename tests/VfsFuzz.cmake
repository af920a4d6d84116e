# Fuzzing of the PK2 directory parser and the archive reader with libFuzzer. The target is
# compiled by clang++ straight from the engine's sources (the normal build may use another
# compiler); its seeds are real archives packed by the pk2 tool from tests/fuzz/seed-content.
# "vfs_fuzz_replay" runs the seeds once, "vfs_fuzz_short" fuzzes for ten seconds.

find_program(HM_CLANGXX NAMES clang++ clang++-16 clang++-15 clang++-14)
set(vfs_fuzz_dir ${CMAKE_BINARY_DIR}/fuzz)

if(HM_CLANGXX)
  set(vfs_fuzz_sources
    ${CMAKE_SOURCE_DIR}/tests/fuzz/vfs_fuzz.cc
    ${CMAKE_SOURCE_DIR}/Quor/CVFS.cpp
    ${CMAKE_SOURCE_DIR}/Quor/CPathResolver.cpp
    ${CMAKE_SOURCE_DIR}/Quor/ReportError.cpp
    ${CMAKE_SOURCE_DIR}/Platform/PlatformFiles.cpp)
  add_custom_command(
    OUTPUT ${vfs_fuzz_dir}/vfs_fuzz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${vfs_fuzz_dir}
    COMMAND ${HM_CLANGXX} -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined
            -I${CMAKE_SOURCE_DIR} ${vfs_fuzz_sources} -o ${vfs_fuzz_dir}/vfs_fuzz
    DEPENDS ${vfs_fuzz_sources} ${CMAKE_SOURCE_DIR}/Quor/CVFS.h ${CMAKE_SOURCE_DIR}/Quor/CPathResolver.h
            ${CMAKE_SOURCE_DIR}/Quor/ReportError.h ${CMAKE_SOURCE_DIR}/Platform/PlatformFiles.h
    COMMENT "Building the archive fuzz target with clang++"
    VERBATIM)

  file(GLOB_RECURSE vfs_seed_content CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/seed-content/*)
  set(seed_commands "")
  set(seed_outputs "")
  foreach(version 0x100 0x101 0x102 0x103)
    list(APPEND seed_commands
      COMMAND $<TARGET_FILE:pk2> pack ${CMAKE_SOURCE_DIR}/tests/fuzz/seed-content ${vfs_fuzz_dir}/packed/v${version}
              --version ${version} --volume-size 64
      COMMAND ${CMAKE_COMMAND} -E copy ${vfs_fuzz_dir}/packed/v${version}.PK2 ${vfs_fuzz_dir}/seeds/v${version}.PK2)
    list(APPEND seed_outputs ${vfs_fuzz_dir}/seeds/v${version}.PK2)
  endforeach()
  add_custom_command(
    OUTPUT ${seed_outputs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${vfs_fuzz_dir}/packed ${vfs_fuzz_dir}/seeds ${vfs_fuzz_dir}/work
    ${seed_commands}
    DEPENDS pk2 ${vfs_seed_content}
    COMMENT "Packing the archive fuzz seeds"
    VERBATIM)
  add_custom_target(vfs_fuzz ALL DEPENDS ${vfs_fuzz_dir}/vfs_fuzz ${seed_outputs})

  add_test(NAME vfs_fuzz_replay COMMAND ${vfs_fuzz_dir}/vfs_fuzz -runs=0 ${vfs_fuzz_dir}/seeds)
  add_test(NAME vfs_fuzz_short
    COMMAND ${vfs_fuzz_dir}/vfs_fuzz -max_total_time=10 -timeout=10 -rss_limit_mb=2048
            ${vfs_fuzz_dir}/work ${vfs_fuzz_dir}/seeds)
  set_tests_properties(vfs_fuzz_replay vfs_fuzz_short PROPERTIES TIMEOUT 120)
else()
  # Without clang there is no libFuzzer: say so and skip rather than fail.
  foreach(name vfs_fuzz_replay vfs_fuzz_short)
    add_test(NAME ${name} COMMAND sh -c "echo 'clang++ not found: archive fuzzing skipped'; exit 77")
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
  endforeach()
endif()
