// The frozen pictures behind the overlays as a player meets them, through the real program
// headless: the map's blurred backdrop, which sharpens while the map opens, and the screen behind
// the pause and behind the item frame over a close-up, both taken again after "Full screen" is
// ticked in the pause menu's options (each tick switches the display mode and resets the
// device); and the main menu's options box switching the mode without a failed draw.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

using namespace e2etest;

// A device call that failed is reported with its code; a lost device is not reported.
constexpr const char* kFailedDeviceCall = "(0x8876";

// The pause menu's options button, the options box's full-screen tick and OK button in window
// pixels of the 1024 x 768 window, and the tick in the 921 x 690 window a switch to a window
// gives; the pause menu's continue button.
constexpr int kOptions[2] = {512, 326}, kTick[2] = {454, 434}, kSmallTick[2] = {408, 390}, kOk[2] = {666, 538};
constexpr int kContinue[2] = {512, 211};

// From frame `from` (0.05 s each): Escape, the options box, "Full screen" ticked off and on again
// (two resets of the device while paused), OK and continue; the box stands open after the resets
// from frame from + 75 to from + 82 and the game plays again from frame from + 110.
std::string PauseAndSwitchTwice(int from) {
  return KeyPress(from, "Escape") + ClickWindow(from + 15, kOptions[0], kOptions[1]) +
         ClickWindow(from + 35, kTick[0], kTick[1]) + ClickWindow(from + 55, kSmallTick[0], kSmallTick[1]) +
         ClickWindow(from + 75, kOk[0], kOk[1]) + ClickWindow(from + 95, kContinue[0], kContinue[1]);
}

class FrozenScreenWalkTest : public CProgramTest {
 protected:
  // The program started straight into the bonus chapter without a save.
  SProgramRun Play(int frames, const std::string& script, const std::string& captures) {
    const std::string program = InstallProgram(m_home, kBonusStartup);
    std::filesystem::remove_all(m_home + "/data/Saves");
    return Run(program, frames, "0.05", script, captures);
  }
};

// Pixels of the area that differ from the other frame's by more than a little: none in a
// picture taken again the same.
double ShareOfDifferences(const CCapturedFrame& a, const CCapturedFrame& b, const SPixelRect& area) {
  return double(a.CountDifferences(b, area, 12)) / double(area.Width() * area.Height());
}

double BrightnessRatio(const CCapturedFrame& a, const CCapturedFrame& b, const SPixelRect& area) {
  return double(a.Brightness(area)) / double(b.Brightness(area));
}

// The garden gate and the compass (the map opens between frames 118 and 128), then the pause.
constexpr int kGardenGate[2] = {96, 448}, kCompass[2] = {959, 707};
constexpr int kMapOpening = 121, kMapOpen = 150, kPausedBefore = 190, kPausedAfter = 232, kMapAgain = 290;

// The garden's band below the map's parchment, the place above the bar, and what lies outside
// the options box: the band above it and the bar below.
constexpr SPixelRect kBelowMap = {0, 615, kWindowWidth, 655};
constexpr SPixelRect kView = {0, 100, kWindowWidth, 660};
constexpr SPixelRect kAboveBox = {0, 0, kWindowWidth, 120};
constexpr SPixelRect kBar = {0, 600, kWindowWidth, kWindowHeight};

TEST_F(FrozenScreenWalkTest, TheMapsBackdropFollowsItsFadeAndIsTakenAgainAfterTheModeSwitchesWhilePaused) {
  const std::string script = ClickWindow(50, kGardenGate[0], kGardenGate[1]) +
                             ClickWindow(110, kCompass[0], kCompass[1]) + PauseAndSwitchTwice(160);
  const SProgramRun run = Play(300, script, "121,150,155,190,232,290");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find(kFailedDeviceCall), std::string::npos) << run.output;
  const CCapturedFrame opening = Frame(kMapOpening), open = Frame(kMapOpen), before = Frame(155);
  const CCapturedFrame pausedBefore = Frame(kPausedBefore), pausedAfter = Frame(kPausedAfter);
  const CCapturedFrame again = Frame(kMapAgain);
  ASSERT_TRUE(opening.IsLoaded() && open.IsLoaded() && before.IsLoaded() && pausedBefore.IsLoaded() &&
              pausedAfter.IsLoaded() && again.IsLoaded());
  ASSERT_EQ(pausedAfter.Width(), kWindowWidth) << "back in full screen after the second tick";

  EXPECT_GT(opening.Sharpness(kBelowMap), open.Sharpness(kBelowMap) * 3 / 2)
      << "the garden blurs only as far as the map has opened";
  // Around the options box the pause's frozen picture is the same after both resets.
  EXPECT_LT(ShareOfDifferences(pausedAfter, pausedBefore, kAboveBox), 0.01);
  EXPECT_LT(ShareOfDifferences(pausedAfter, pausedBefore, kBar), 0.01);
  // And the map stands again over the same blurred garden.
  EXPECT_LT(ShareOfDifferences(again, before, kView), 0.01);
}

// The mailbox in the street and the letter in its close-up: the item frame stands over the
// close-up from frame 100 on.
constexpr int kMailbox[2] = {850, 470}, kLetter[2] = {640, 380};
constexpr int kFrameOpen = 104, kBoxBefore = 135, kBoxAfter = 175, kFrameAgain = 235;

// The close-up's wooden frame at the left, clear of the item frame and the options box, and the
// close-up's bands above and below the item frame (under the note at the top).
constexpr SPixelRect kCloseUpLeft = {0, 60, 120, 660};
constexpr SPixelRect kCloseUpAbove = {0, 60, kWindowWidth, 200};
constexpr SPixelRect kCloseUpBelow = {0, 540, kWindowWidth, 660};

TEST_F(FrozenScreenWalkTest, TheCloseUpBehindTheItemFrameIsTakenAgainAfterTheModeSwitchesWhilePaused) {
  const std::string script = ClickLayout(45, kMailbox[0], kMailbox[1]) + ClickLayout(80, kLetter[0], kLetter[1]) +
                             PauseAndSwitchTwice(105);
  const SProgramRun run = Play(240, script, "104,135,175,235");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find(kFailedDeviceCall), std::string::npos) << run.output;
  const CCapturedFrame frame = Frame(kFrameOpen), boxBefore = Frame(kBoxBefore), boxAfter = Frame(kBoxAfter);
  const CCapturedFrame frameAgain = Frame(kFrameAgain);
  ASSERT_TRUE(frame.IsLoaded() && boxBefore.IsLoaded() && boxAfter.IsLoaded() && frameAgain.IsLoaded());
  ASSERT_EQ(boxAfter.Width(), kWindowWidth);

  // Paused, the close-up still shows behind the box, as bright as before the resets.
  const double brightness = BrightnessRatio(boxAfter, boxBefore, kCloseUpLeft);
  EXPECT_GT(brightness, 0.9);
  EXPECT_LT(brightness, 1.1);
  // Back in the game the item frame stands over the close-up as it did, not over the street.
  EXPECT_LT(ShareOfDifferences(frameAgain, frame, kCloseUpAbove), 0.01);
  EXPECT_LT(ShareOfDifferences(frameAgain, frame, kCloseUpBelow), 0.01);
}

// A very first start into the title (frames of 0.1 s), the title's Options plate, and its
// "Full screen" ticked: the window changes and the snapshot behind the box is drawn again,
// with no draw refused in the frame after the switch.
constexpr int kOptionsPlate[2] = {128, 576};
constexpr int kSwitched = 180;

TEST_F(FrozenScreenWalkTest, TheMainMenusOptionsSwitchTheModeWithoutAFailedDraw) {
  const std::string program = InstallProgram(m_home, ReadTextFile(HM_BINARY_DIR "/bin/startup.lua"));
  std::filesystem::remove_all(m_home + "/data");  // a new player
  const std::string script = AnswerFirstStart() + ClickWindow(150, kOptionsPlate[0], kOptionsPlate[1]) +
                             ClickWindow(165, kTick[0], kTick[1]);
  const SProgramRun run = Run(program, kSwitched + 5, "0.1", script, std::to_string(kSwitched));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find(kFailedDeviceCall), std::string::npos) << run.output;
  const CCapturedFrame switched = Frame(kSwitched);
  ASSERT_TRUE(switched.IsLoaded());
  EXPECT_LT(switched.Width(), kWindowWidth) << "the window the tick switched to";
}

}  // namespace
