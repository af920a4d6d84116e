// The static scene tables: the index orders the world and the progress rely on, and the
// ambient sounds the prefixes name.

#include "Src/World/Vey_SceneTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>
#include "Src/World/Vey_SoundContainer.h"

using namespace Vey;

namespace {

TEST(SceneTables, EachTableHoldsItsPlacesInIndexOrder) {
  const struct {
    const char* table;
    const char* prefix;
    const char* expected;
  } kCases[] = {
      {"location 0", kLocationPrefixes[0], "S01_"},        {"location 32", kLocationPrefixes[32], "S33_"},
      {"location 33", kLocationPrefixes[33], "HO01_1_"},   {"location 41", kLocationPrefixes[41], "HO04_1_"},
      {"location 56", kLocationPrefixes[56], "HO09_3_"},   {"bonus 4", kBonusLocationPrefixes[4], "S05_"},
      {"bonus 8", kBonusLocationPrefixes[8], "HO02_2_"},   {"close-up 28", kCloseUpPrefixes[28], "I29_"},
      {"bonus close-up 4", kBonusCloseUpPrefixes[4], "I05_"}, {"mini-game 6", kMiniGamePrefixes[6], "G07_"},
      {"mini-game 7", kMiniGamePrefixes[7], "G11_"},       {"bonus mini-game", kBonusMiniGamePrefixes[0], "G01_"},
      {"aspect 2", kAspectLayoutNames[2], "16:10"},        {"empty", kEmptyString, ""},
  };
  for (const auto& c : kCases) EXPECT_STREQ(c.prefix, c.expected) << c.table;
  for (uint32_t i = 0; i < 33; ++i) EXPECT_EQ(std::string(kLocationPrefixes[i]), "S" + std::string(i < 9 ? "0" : "") + std::to_string(i + 1) + "_");
  EXPECT_EQ(kDefaultScreenHeightF, 768.0f);
}

TEST(SceneTables, EveryAmbientPrefixWithOneAndTenNamesASoundOfItsBank) {
  const auto check = [](bool bonus, const char* const* prefixes, uint32_t count) {
    const std::vector<std::string> bank = CSoundContainer::ChapterSoundNames(bonus);
    for (uint32_t i = 0; i < count; ++i)
      for (int number : {1, 10}) {
        const std::string name = prefixes[i] + std::to_string(number);
        EXPECT_NE(std::find(bank.begin(), bank.end(), name), bank.end()) << name;
      }
  };
  check(false, kAmbientPrefixes, kLocationCount);
  check(true, kBonusAmbientPrefixes, kBonusLocationCount);
  // The twelve outdoor locations of the main story.
  int outdoors = 0;
  for (const char* prefix : kAmbientPrefixes) outdoors += std::string(prefix) == "out_";
  EXPECT_EQ(outdoors, 12);
  EXPECT_STREQ(kAmbientPrefixes[15], "out_");  // S16
  EXPECT_STREQ(kAmbientPrefixes[3], "in_");    // S04
}

}  // namespace
