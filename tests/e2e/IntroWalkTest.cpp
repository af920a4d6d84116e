// A new game begins with the intro: after Play and the mode box's OK the intro's first page
// comes up, the village at night with its lit windows, with its first subtitle under it and the
// SKIP button at the top right; a click on SKIP takes the player on into the story.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <filesystem>
#include <string>

namespace {

using namespace e2etest;

// Frames of 0.1 s: a first start's language and name are answered and the new game chosen by
// frame 155 (see MenuWalkTest); the intro is up ten frames later.
constexpr int kIntroShown = kFirstStartModeOk + 10, kSkipped = kFirstStartModeOk + 20;
constexpr int kStoryShown = kFirstStartModeOk + 55;
// The subtitle's line under the page.
constexpr float kSubtitleY = 2259.0f;

bool IsText(SRgb c) { return c.r > 190 && c.g > 190 && c.b > 190; }
bool IsLamplight(SRgb c) { return c.r > 200 && c.g > 130 && c.b < 110; }

class IntroWalkTest : public CProgramTest {};

TEST_F(IntroWalkTest, PlayShowsTheIntrosFirstPageWithItsSubtitleAndSkipLeadsIntoTheStory) {
  std::filesystem::remove_all(m_home + "/data");  // a new player
  const std::string program = InstallProgram(m_home, ReadTextFile(HM_BINARY_DIR "/bin/startup.lua"));
  const std::string input = AnswerFirstStart() + PlayNewGame() + SkipIntro(kSkipped - 8);
  const SProgramRun run =
      Run(program, kStoryShown, "0.1", input, std::to_string(kIntroShown) + "," + std::to_string(kStoryShown));
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const CCapturedFrame intro = Frame(kIntroShown);
  ASSERT_TRUE(intro.IsLoaded());
  const SPixelRect subtitle = intro.Rect(2048.0f, kSubtitleY, 300.0f, 14.0f);
  EXPECT_GT(intro.Count(subtitle, IsText), 150) << "the first subtitle under the page";
  EXPECT_GT(intro.Count(intro.Band(1900.0f, 2150.0f), IsLamplight), 400) << "the village's lit windows";
  EXPECT_GT(intro.Count(intro.Rect(kSkipX, kSkipY, 70.0f, 20.0f), IsText), 20) << "the word on the SKIP button";

  // The story replaced the intro: the heads-up display's bar where the subtitle was, and the
  // story made the new player's profile current.
  const CCapturedFrame story = Frame(kStoryShown);
  ASSERT_TRUE(story.IsLoaded());
  const SPixelRect bottom = story.Band(2240.0f, 2300.0f);
  EXPECT_GT(story.CountDifferences(intro, bottom, 12), bottom.Width() * bottom.Height() / 3);
  EXPECT_EQ(CurrentProfileInSave(ReadTextFile(SavePath())), 0);
}

}  // namespace
