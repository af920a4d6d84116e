// The garden shed's hidden-object scene as a player meets it, through the real program
// headless: a new game starts at the gate yard, the shed's door opens the scene, a click on the
// lantern takes it off the shelf, and a click on the shed's open door leads back to the yard.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"
#include "tests/e2e/ShedSearch.h"

#include <filesystem>
#include <string>

namespace {

using namespace e2etest;

// Frames (0.05 s each): the yard, the shed opened, the lantern landed in the list, the yard again.
constexpr int kInYard = 130, kInShed = 175, kLanternGone = 215, kBackInYard = 250;

constexpr SPixelRect kUpperWall = {600, 120, 1000, 250};

class HiddenObjectsWalkTest : public CProgramTest {};

TEST_F(HiddenObjectsWalkTest, TheShedOpensItsLanternIsFoundAndItsDoorLeadsBack) {
  const std::string program = InstallProgram(m_home, kStoryStartup);
  std::filesystem::remove_all(m_home + "/data/Saves");
  const std::string script = DeclineTutorial(100) + ClickLayout(140, kShedDoor[0], kShedDoor[1]) +
                             ClickLayout(180, kLantern[0], kLantern[1]) + ClickLayout(220, kWayOut[0], kWayOut[1]);
  const SProgramRun run = Run(program, kBackInYard + 10, "0.05", script, "130,175,215,250");
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const CCapturedFrame yard = Frame(kInYard), shed = Frame(kInShed), found = Frame(kLanternGone),
                       back = Frame(kBackInYard);
  ASSERT_TRUE(yard.IsLoaded() && shed.IsLoaded() && found.IsLoaded() && back.IsLoaded());
  const int wall = kUpperWall.Width() * kUpperWall.Height();
  EXPECT_GT(shed.CountDifferences(yard, kUpperWall, 12), wall / 3) << "the shed is a place of its own";
  EXPECT_GT(shed.Count(kLanternGlass, IsAmber), kLanternGlass.Width() * kLanternGlass.Height() / 2);
  EXPECT_LT(found.Count(kLanternGlass, IsAmber), 10) << "the found lantern has left the shelf";
  EXPECT_GT(back.CountDifferences(found, kUpperWall, 12), wall / 3) << "the door leads back to the yard";
}

}  // namespace
