# scripts/run builds the target `game` alone: the game, its content and the tools that make it,
# and never a test program, test source, benchmark or the fuzzing sub-build.
if(CMAKE_GENERATOR STREQUAL "Ninja")
  add_test(NAME game_target_check
    COMMAND sh -c "inputs=$(\"$1\" -C \"$2\" -t inputs game) || exit 1
                   if printf '%s\\n' \"$inputs\" | grep -E '(^|/)(tests/|test_|fuzz|[a-z]+_bench)'; then
                     echo 'the target game needs the above'; exit 1
                   fi"
            game-target-check ${CMAKE_MAKE_PROGRAM} ${CMAKE_BINARY_DIR})
endif()
