// The tutorial as a new player meets it, through the real program headless: the question comes
// up over the gate; "Yes" shows the first hint, which dims the gate yard all but the knife and
// holds back a click on the gate; the knife can be taken, and that ends the hint. The same start
// answered "No" shows the yard undimmed.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <filesystem>
#include <string>

namespace {

using namespace e2etest;

constexpr int kYes[2] = {358, 480};
constexpr int kKnife[2] = {330, 597}, kContinue[2] = {512, 477}, kGate[2] = {512, 400};
// Frames (0.05 s each): the question open, the first hint shown, after the held click on the
// gate, the knife in the bar.
constexpr int kAsked = 90, kHinted = 130, kAfterGateClick = 165, kKnifeTaken = 240, kEnd = 260;

constexpr SPixelRect kUpperWall = {250, 110, 350, 200};  // left of the hint box, under the story line
constexpr SPixelRect kAroundKnife = {290, 547, 370, 592};
constexpr SPixelRect kStoryLine = {180, 28, 940, 72};
constexpr SPixelRect kGateBars = {390, 320, 630, 530};
constexpr SPixelRect kFirstSlotFace = {212, 698, 252, 738};

bool IsDark(SRgb c) { return c.Sum() < 75; }
bool IsInk(SRgb c) { return c.Sum() < 300; }  // the plates' dark brown words

class TutorialWalkTest : public CProgramTest {};

TEST_F(TutorialWalkTest, YesShowsTheKnifeHintWhichHoldsOtherClicksUntilTheKnifeIsTaken) {
  const std::string program = InstallProgram(m_home, kStoryStartup);
  std::filesystem::remove_all(m_home + "/data/Saves");
  const std::string frames = std::to_string(kAsked) + "," + std::to_string(kHinted) + "," +
                             std::to_string(kAfterGateClick) + "," + std::to_string(kKnifeTaken);
  std::string script = ClickWindow(100, kYes[0], kYes[1]);
  script += ClickWindow(140, kGate[0], kGate[1]);
  script += ClickAt(170, VirtualX(kKnife[0]), VirtualY(kKnife[1]), 10);
  script += ClickWindow(205, kContinue[0], kContinue[1]);
  const SProgramRun yes = Run(program, kEnd, "0.05", script, frames);
  ASSERT_EQ(yes.exitCode, 0) << yes.output;
  const CCapturedFrame asked = Frame(kAsked), hinted = Frame(kHinted), held = Frame(kAfterGateClick);
  const CCapturedFrame taken = Frame(kKnifeTaken);
  ASSERT_TRUE(asked.IsLoaded() && hinted.IsLoaded() && held.IsLoaded() && taken.IsLoaded());
  // Both plates of the question carry their word, dark on the brass.
  for (int plateX : {kYes[0], 666}) {
    const SPixelRect word = {plateX - 50, kYes[1] - 9, plateX + 50, kYes[1] + 9};
    EXPECT_GT(asked.Count(word, IsInk), 40) << "the word on the plate at " << plateX;
  }
  // The click on the gate was held: the gate stands as it did.
  EXPECT_LT(std::abs(held.Count(kGateBars, IsDark) - hinted.Count(kGateBars, IsDark)), 300);
  // The knife was taken all the same: it lies in the first slot, dimmed with the bar while the
  // next step lights the diary.
  EXPECT_GT(taken.CountDifferences(hinted, kFirstSlotFace, 20), 80);

  // Declined, the same frame shows the yard undimmed; the hint dims it by about half but for the
  // lit spot over the knife.
  std::filesystem::remove_all(Captures());
  std::filesystem::remove_all(m_home + "/data/Saves");
  const SProgramRun no = Run(program, kHinted + 5, "0.05", DeclineTutorial(100), std::to_string(kHinted));
  ASSERT_EQ(no.exitCode, 0) << no.output;
  const CCapturedFrame plain = Frame(kHinted);
  ASSERT_TRUE(plain.IsLoaded());
  const double wall = double(hinted.Brightness(kUpperWall)) / double(plain.Brightness(kUpperWall));
  EXPECT_GT(wall, 0.4);
  EXPECT_LT(wall, 0.6);
  const double knife = double(hinted.Brightness(kAroundKnife)) / double(plain.Brightness(kAroundKnife));
  EXPECT_GT(knife, 0.9);
  // The story line in the band across the top reads as brightly as without the tutorial.
  const double line = double(hinted.Brightness(kStoryLine)) / double(plain.Brightness(kStoryLine));
  EXPECT_GT(line, 0.9);
}

}  // namespace
