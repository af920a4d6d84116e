// The game as shipped starts at the main menu: after the logos the very first start asks for
// the language, the German flag and OK keep it for the player, the first player types a name,
// the title screen fades in over its dusk sky, and a click on Play, then on the mode box's OK
// and on the intro's SKIP, takes them into the main story; the title's options box switches the
// display mode without a failed draw, and left by Back keeps a windowed game in its window.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <filesystem>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace e2etest;

// Frames of 0.1 s: the two logos and the start state's half second take about eight seconds,
// then the menu fades in with the language box for a quarter second each; once it is answered,
// the box fades out and the name entry in; once a name is typed and entered, the title buttons
// fade in.
constexpr int kLanguageShown = 115, kGermanClicked = 117, kNameTyped = kFirstStartNameTyped;
constexpr int kMenuShown = 142, kStoryShown = 185;
// The language box's German flag and OK (a layout unit is 192 virtual units across in the 4:3
// window).
constexpr float kEnglishX = 2048.0f - 1.0f * 192.0f, kGermanX = 2048.0f + 1.0f * 192.0f;
constexpr float kFlagsY = 2048.0f - 0.05f * 256.0f;
bool IsFlagRed(SRgb c) { return c.r > 170 && c.g < 60 && c.b < 60; }
// The title's place on the virtual screen (4:3 window).
constexpr float kTitleY = 2048.0f - 0.66f * 256.0f;

bool IsGolden(SRgb c) { return c.r > 150 && c.r > c.g && c.g > c.b + 30; }

class MenuWalkTest : public CProgramTest {};

TEST_F(MenuWalkTest, TheShippedStartupShowsTheMainMenuAndPlayTakesANewPlayerIntoTheStory) {
  fs::remove_all(m_home + "/data");
  const std::string program = InstallProgram(m_home, ReadTextFile(HM_BINARY_DIR "/bin/startup.lua"));
  const std::string script = ClickAt(kGermanClicked - 2, kGermanX, kFlagsY) + AnswerFirstStart() + PlayNewGame() +
                             SkipIntro(kFirstStartModeOk + 2);
  std::string frames;
  for (int f : {kLanguageShown, kNameTyped - 1, kNameTyped + 2, kMenuShown, kStoryShown}) {
    frames += std::to_string(f) + ",";
  }
  const SProgramRun run = Run(program, kStoryShown, "0.1", script, frames);
  ASSERT_EQ(run.exitCode, 0) << run.output;

  // The language box: the flags in a row, the English one chosen in its colours, the others
  // dimmed.
  const CCapturedFrame language = Frame(kLanguageShown);
  ASSERT_TRUE(language.IsLoaded());
  EXPECT_GT(language.Count(language.Rect(kEnglishX, kFlagsY, 40.0f, 20.0f), IsFlagRed), 20);
  EXPECT_EQ(language.Count(language.Rect(kGermanX, kFlagsY, 40.0f, 20.0f), IsFlagRed), 0);
  EXPECT_EQ(ReadTextFile(m_home + "/data/lang.cfg"), "de\n") << "the player's choice is kept";

  // The name entry shows the typed name in light letters on its dark plate.
  const CCapturedFrame empty = Frame(kNameTyped - 1), typed = Frame(kNameTyped + 2);
  ASSERT_TRUE(empty.IsLoaded() && typed.IsLoaded());
  const SPixelRect plate = typed.Rect(2048.0f, 2048.0f, 120.0f, 30.0f);
  const auto isLetter = [](SRgb c) { return c.r > 170 && c.g > 150 && c.b > 100; };
  EXPECT_GT(typed.Count(plate, isLetter), empty.Count(plate, isLetter) + 40);
  EXPECT_GT(typed.Count(typed.Rect(2048.0f, 2048.0f, 300.0f, 140.0f), IsGolden), 200) << "the OK button";

  const CCapturedFrame menu = Frame(kMenuShown);
  ASSERT_TRUE(menu.IsLoaded());
  const SPixelRect title = menu.Rect(2048.0f, kTitleY, 300.0f, 40.0f);
  EXPECT_GT(menu.Count(title, IsGolden), 200);
  EXPECT_TRUE(IsGolden(menu.At(2049.0f, kPlayY))) << "the Play medallion's mark";
  EXPECT_LT(menu.At(1800.0f, 1800.0f).Sum(), 200) << "the dusk sky";

  // The story replaced the title screen, and the named first player is current.
  const CCapturedFrame story = Frame(kStoryShown);
  ASSERT_TRUE(story.IsLoaded());
  EXPECT_LT(story.Count(title, IsGolden), 50);
  const std::string save = ReadTextFile(SavePath());
  EXPECT_EQ(CurrentProfileInSave(save), 0);
  ASSERT_GT(save.size(), 12u + 4u);
  EXPECT_STREQ(save.data() + 12, "Ada") << "the first profile's name";
}

// The title's Options plate and the options box's "Full screen" tick (window pixels), and a frame
// after the switch: the window changes and the snapshot behind the box is drawn again, with no
// draw refused in the frame after the switch.
constexpr int kOptionsPlate[2] = {128, 576}, kFullScreenTick[2] = {454, 434}, kOptionsBack[2] = {358, 538};
constexpr int kSwitched = 180;

TEST_F(MenuWalkTest, TheTitlesOptionsSwitchTheDisplayModeWithoutAFailedDraw) {
  fs::remove_all(m_home + "/data");
  const std::string program = InstallProgram(m_home, ReadTextFile(HM_BINARY_DIR "/bin/startup.lua"));
  const std::string script = AnswerFirstStart() + ClickWindow(150, kOptionsPlate[0], kOptionsPlate[1]) +
                             ClickWindow(165, kFullScreenTick[0], kFullScreenTick[1]);
  const SProgramRun run = Run(program, kSwitched + 5, "0.1", script, std::to_string(kSwitched));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("(0x8876"), std::string::npos) << run.output;
  const CCapturedFrame switched = Frame(kSwitched);
  ASSERT_TRUE(switched.IsLoaded());
  EXPECT_LT(switched.Width(), kWindowWidth) << "the window the tick switched to";
}

// A game the "windowed" marker started in a window: the options opened and left by Back change
// nothing, so the window keeps its size and the marker stays. The window's size is the
// desktop's choice: a first run shows it, and the clicks of the second are placed for it.
TEST_F(MenuWalkTest, OptionsLeftByBackKeepAWindowedGameInItsWindow) {
  constexpr int kBefore = 148, kOpen = 160, kAfter = 180;
  const std::string marker = m_home + "/data/windowed";
  const std::string program = InstallProgram(m_home, ReadTextFile(HM_BINARY_DIR "/bin/startup.lua"));
  const auto start = [&](const std::string& script, const std::string& frames) {
    fs::remove_all(m_home + "/data");
    fs::create_directories(m_home + "/data");
    std::ofstream(marker).close();
    return Run(program, kAfter + 5, "0.1", script, frames);
  };
  const SProgramRun first = start("", std::to_string(kBefore));
  ASSERT_EQ(first.exitCode, 0) << first.output;
  const CCapturedFrame window = Frame(kBefore);
  ASSERT_TRUE(window.IsLoaded());
  // The script's moves, given in pixels of the 1024 x 768 window, placed where they lie in this one.
  const auto inWindow = [&](const std::string& script) {
    std::istringstream lines(script);
    std::string line, placed;
    while (std::getline(lines, line)) {
      int frame = 0, x = 0, y = 0;
      if (std::sscanf(line.c_str(), "%d mouse move %d %d", &frame, &x, &y) == 3) {
        line = std::to_string(frame) + " mouse move " + std::to_string(x * window.Width() / kWindowWidth) + " " +
               std::to_string(y * window.Height() / kWindowHeight);
      }
      placed += line + "\n";
    }
    return placed;
  };
  const SProgramRun run =
      start(inWindow(AnswerFirstStart() + ClickWindow(150, kOptionsPlate[0], kOptionsPlate[1]) +
                     ClickWindow(165, kOptionsBack[0], kOptionsBack[1])),
            std::to_string(kBefore) + "," + std::to_string(kOpen) + "," + std::to_string(kAfter));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const CCapturedFrame before = Frame(kBefore), open = Frame(kOpen), after = Frame(kAfter);
  ASSERT_TRUE(before.IsLoaded() && open.IsLoaded() && after.IsLoaded());
  const SPixelRect box = before.Rect(2048.0f, 2048.0f, 200.0f, 120.0f);
  EXPECT_GT(open.CountDifferences(before, box, 12), box.Width() * box.Height() / 3) << "the options box opened";
  EXPECT_EQ(after.Width(), before.Width());
  EXPECT_EQ(after.Height(), before.Height());
  EXPECT_TRUE(fs::exists(marker)) << "the windowed marker is kept";
}

}  // namespace
