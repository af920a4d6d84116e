// The player who unticks "System pointer" in the options sees the game's own pointer: drawn
// over the intro's page and the story, from one state into the next, a hand over something to
// take, and the bar's menu button lights under it. A new player unticks it, plays and skips the
// intro into the story; started again, Play on the title leads straight into the story.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <filesystem>
#include <string>

namespace {

using namespace e2etest;

// Frames of 0.1 s. A first start's title buttons are in by frame 142 (see MenuWalkTest); the
// options box is opened, its system pointer unticked and OK pressed, each a quarter second
// apart, and the box has faded out again before Play.
constexpr int kOptionsClicked = 145, kTickClicked = 152, kOptionsOk = 158;
constexpr int kPlayClicked = 166, kModeOk = 174;
// The intro is up ten frames after the mode box's OK; the pointer rests on its page, then SKIP
// is clicked and the story has faded in 35 frames later.
constexpr int kIntroShown = kModeOk + 12, kSkipped = kModeOk + 24, kFirstStory = kSkipped + 35;
// In the story the tutorial is declined, the gate's opening line runs out, then the pointer rests
// on the knife, in the quiet corner and on the menu button in turn.
constexpr int kTutorialDeclined = kFirstStory + 2, kOnKnife = kFirstStory + 85, kResting = kOnKnife + 10,
              kOnMenu = kResting + 10;
// A second start: the logos, then the title with the saved player, whose buttons are in by
// frame 106; Play leads straight into the story.
constexpr int kSecondPlay = 110, kSecondStory = kSecondPlay + 40;

// The title's buttons and the options box's on the 4:3 window (a layout unit is 192 virtual
// units across and 256 down).
constexpr float kOptionsX = 2048.0f - 1.0f * 192.0f, kOptionsY = 2048.0f + 0.5f * 256.0f;
constexpr float kTickX = 2048.0f - 0.15f * 192.0f, kTickY = 2048.0f + 0.27f * 256.0f;
constexpr float kOptionsOkX = 2048.0f + 0.4f * 192.0f, kOptionsOkY = 2048.0f + 0.4f * 256.0f;
// Where the pointer rests for the pictures: dark sky on the intro's page, and a quiet corner of
// the story's first place.
constexpr float kIntroRestX = 1900.0f, kIntroRestY = 1840.0f;
constexpr float kStoryRestX = 1850.0f, kStoryRestY = 1830.0f;
// The knife at the gate and the bar's moon (the menu button), in window pixels.
constexpr int kKnife[2] = {330, 597}, kMenuButton[2] = {60, 700};
constexpr SPixelRect kMenuButtonBox = {20, 660, 100, 740};

constexpr size_t kSystemCursorOffset = 722188;  // the save's system-pointer switch

// The game's arrow: brass from light to dark.
bool IsBrass(SRgb c) { return c.r > 140 && c.g > 90 && c.b < 130 && c.r - c.b > 70; }

// The arrow lies below and right of the point where the pointer rests (within the pointer's
// dead zone of it); beside it, to the left, the picture holds no brass of its own.
::testing::AssertionResult PointerDrawnAt(const CCapturedFrame& frame, float x, float y) {
  const SPixelRect at{frame.X(x) - 6, frame.Y(y) - 6, frame.X(x) + 30, frame.Y(y) + 30};
  const SPixelRect beside{at.left - 40, at.top, at.right - 40, at.bottom};
  const int arrow = frame.Count(at, IsBrass), background = frame.Count(beside, IsBrass);
  if (arrow > 60 && background < 10) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << arrow << " brass pixels at the pointer, " << background << " beside it";
}

// Both pictures hang below and right of the point. The hand's fingers reach up at its right,
// beside the top of the arrow, which is a narrow tip there.
::testing::AssertionResult HandDrawnAt(const CCapturedFrame& frame, int x, int y) {
  const int fingers = frame.Count({x + 28, y - 2, x + 42, y + 10}, IsBrass);
  if (fingers > 20) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << fingers << " brass pixels where the hand's fingers are";
}

class GamePointerWalkTest : public CProgramTest {};

TEST_F(GamePointerWalkTest, TheGamesOwnPointerIsDrawnThroughTheIntroIntoTheStoryAndFromTheTitle) {
  std::filesystem::remove_all(m_home + "/data");  // a new player
  const std::string program = InstallProgram(m_home, ReadTextFile(HM_BINARY_DIR "/bin/startup.lua"));
  std::string input = AnswerFirstStart() + ClickAt(kOptionsClicked - 2, kOptionsX, kOptionsY) +
                      ClickAt(kTickClicked - 2, kTickX, kTickY) + ClickAt(kOptionsOk - 2, kOptionsOkX, kOptionsOkY) +
                      ClickAt(kPlayClicked - 2, 2048.0f, kPlayY) + ClickAt(kModeOk - 2, 2048.0f, kModeOkY);
  input += MouseMoveTo(kModeOk + 2, kIntroRestX, kIntroRestY) + SkipIntro(kSkipped - 8);
  input += MouseMoveTo(kSkipped + 10, kStoryRestX, kStoryRestY);
  input += DeclineTutorial(kTutorialDeclined) + MouseMoveTo(kOnKnife - 15, VirtualX(kKnife[0]), VirtualY(kKnife[1])) +
           MouseMoveTo(kResting - 8, kStoryRestX, kStoryRestY) +
           MouseMoveTo(kOnMenu - 8, VirtualX(kMenuButton[0]), VirtualY(kMenuButton[1]));
  std::string captures = std::to_string(kIntroShown);
  for (int frame : {kFirstStory, kOnKnife, kResting, kOnMenu}) captures += "," + std::to_string(frame);
  const SProgramRun first = Run(program, kOnMenu, "0.1", input, captures);
  ASSERT_EQ(first.exitCode, 0) << first.output;

  const CCapturedFrame intro = Frame(kIntroShown), story = Frame(kFirstStory);
  ASSERT_TRUE(intro.IsLoaded() && story.IsLoaded());
  EXPECT_TRUE(PointerDrawnAt(intro, kIntroRestX, kIntroRestY)) << "over the intro's page";
  EXPECT_TRUE(PointerDrawnAt(story, kStoryRestX, kStoryRestY)) << "in the story after SKIP";
  const CCapturedFrame onKnife = Frame(kOnKnife), resting = Frame(kResting), onMenu = Frame(kOnMenu);
  ASSERT_TRUE(onKnife.IsLoaded() && resting.IsLoaded() && onMenu.IsLoaded());
  EXPECT_TRUE(HandDrawnAt(onKnife, kKnife[0], kKnife[1])) << "the hand over the knife";
  EXPECT_FALSE(HandDrawnAt(resting, resting.X(kStoryRestX), resting.Y(kStoryRestY))) << "the arrow elsewhere";
  EXPECT_GT(onMenu.Brightness(kMenuButtonBox), resting.Brightness(kMenuButtonBox) * 23 / 20)
      << "the menu button lit under the pointer";
  const std::string save = ReadTextFile(SavePath());
  ASSERT_GT(save.size(), kSystemCursorOffset);
  EXPECT_EQ(save[kSystemCursorOffset], 0) << "the unticked switch is saved";

  // Started again with the saved switch: the title, and Play straight into the story.
  std::filesystem::remove_all(Captures());
  const std::string again =
      ClickAt(kSecondPlay - 2, 2048.0f, kPlayY) + MouseMoveTo(kSecondPlay + 10, kStoryRestX, kStoryRestY);
  const SProgramRun second =
      Run(program, kSecondStory, "0.1", again, std::to_string(kSecondPlay - 3) + "," + std::to_string(kSecondStory));
  ASSERT_EQ(second.exitCode, 0) << second.output;
  const CCapturedFrame title = Frame(kSecondPlay - 3), storyAgain = Frame(kSecondStory);
  ASSERT_TRUE(title.IsLoaded() && storyAgain.IsLoaded());
  // The heads-up display's bar has replaced the title's foot.
  const SPixelRect bottom = storyAgain.Band(2240.0f, 2300.0f);
  EXPECT_GT(storyAgain.CountDifferences(title, bottom, 12), bottom.Width() * bottom.Height() / 3);
  EXPECT_TRUE(PointerDrawnAt(storyAgain, kStoryRestX, kStoryRestY)) << "in the story after Play";
}

}  // namespace
