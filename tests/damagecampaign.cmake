# A small seeded damaged-content campaign over the built game (scripts/damage-campaign): one
# damaged file of every kind the game reads at start-up and on entering its first place, each run
# through the logos into that place. A crash, hang, huge allocation or a stop that does not name
# the file fails it and prints the seed that repeats it. The long run is a documented command
# (README, "Damaged content").
add_test(NAME damage_campaign
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/damage-campaign --build ${CMAKE_BINARY_DIR} --per-kind 1 --seed 4800 --jobs 2)
set_tests_properties(damage_campaign PROPERTIES TIMEOUT 900)
