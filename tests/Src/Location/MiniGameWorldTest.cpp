// A solved puzzle's changes to the story's world description.

#include "Src/Location/Vey_MiniGameWorld.h"

#include <gtest/gtest.h>

#include "Src/World/Vey_Map.h"

#include <fstream>
#include <sstream>

namespace Vey {
namespace {

std::string StoryDescription() {
  std::ifstream file(HM_SOURCE_DIR "/content/App/Configs/GameInfo.xml");
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(MiniGameWorld, RetiringAPuzzleShutsOnlyItsOwnHotSpots) {
  CMap world(false);
  ASSERT_EQ(world.Load(StoryDescription()), 0);
  RetireMiniGameLinks(world, 7, "S01_Entrance Key", "Impossible");
  const SMiniGameLink& dial = world.CloseUp(0).miniGames.at(0);  // the gear train on the dial
  EXPECT_FALSE(dial.open);
  EXPECT_TRUE(dial.second);
  ASSERT_FALSE(dial.conditions.empty());
  EXPECT_EQ(dial.conditions.back().object, "S01_Entrance Key");
  EXPECT_EQ(dial.conditions.back().state, "Impossible");
  // The path's lock, another puzzle, stays as the description has it: shut until the lantern is
  // lit, while the lock is locked.
  const SMiniGameLink& lock = world.Scene(1).miniGames.at(0);
  EXPECT_FALSE(lock.open);
  EXPECT_FALSE(lock.second);
  EXPECT_EQ(lock.conditions.size(), 2u);
}

TEST(MiniGameWorld, OpeningExitsClearsTheirConditions) {
  CMap world(false);
  ASSERT_EQ(world.Load(StoryDescription()), 0);
  SExit& exit = world.Scene(0).exits.at(0);
  exit.open = false;
  exit.conditions.push_back({"S01_Gate", "Open"});
  const uint32_t target = exit.target;
  OpenExitsTo(world, target);
  EXPECT_TRUE(exit.open);
  EXPECT_TRUE(exit.conditions.empty());
}

}  // namespace
}  // namespace Vey
