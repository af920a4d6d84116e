// The game as shipped starts at the main menu: after the logos the title screen fades in over
// its dusk sky, and a click on Play, then on the mode box's OK, takes a first player into the
// main story.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace e2etest;

// Frames of 0.1 s: the two logos and the start state's half second take about eight seconds,
// then the menu fades in for a quarter second and its buttons for another.
constexpr int kMenuShown = 115, kPlayClicked = 122, kModeChosen = 130, kStoryShown = 160;
// The Play medallion's centre and the title's place on the virtual screen (4:3 window).
constexpr float kPlayY = 2048.0f + 0.45f * 256.0f;
constexpr float kTitleY = 2048.0f - 0.66f * 256.0f;
// The mode box's OK button.
constexpr float kModeOkY = 2048.0f + 0.36f * 256.0f;

bool IsGolden(SRgb c) { return c.r > 150 && c.r > c.g && c.g > c.b + 30; }

class MenuWalkTest : public CProgramTest {};

TEST_F(MenuWalkTest, TheShippedStartupShowsTheMainMenuAndPlayTakesANewPlayerIntoTheStory) {
  fs::remove_all(m_home + "/data");
  const std::string program = InstallProgram(m_home, ReadTextFile(HM_BINARY_DIR "/bin/startup.lua"));
  const SProgramRun run = Run(program, kStoryShown, "0.1",
                              ClickAt(kPlayClicked - 2, 2048.0f, kPlayY) + ClickAt(kModeChosen - 2, 2048.0f, kModeOkY) +
                                  SkipIntro(kModeChosen + 2),
                              std::to_string(kMenuShown) + "," + std::to_string(kStoryShown));
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const CCapturedFrame menu = Frame(kMenuShown);
  ASSERT_TRUE(menu.IsLoaded());
  const SPixelRect title = menu.Rect(2048.0f, kTitleY, 300.0f, 40.0f);
  EXPECT_GT(menu.Count(title, IsGolden), 200);
  EXPECT_TRUE(IsGolden(menu.At(2049.0f, kPlayY))) << "the Play medallion's mark";
  EXPECT_LT(menu.At(1800.0f, 1800.0f).Sum(), 200) << "the dusk sky";

  // The story replaced the title screen, and made its first player current.
  const CCapturedFrame story = Frame(kStoryShown);
  ASSERT_TRUE(story.IsLoaded());
  EXPECT_LT(story.Count(title, IsGolden), 50);
  EXPECT_EQ(CurrentProfileInSave(ReadTextFile(SavePath())), 0);
}

}  // namespace
