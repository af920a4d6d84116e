// The mailbox's close-up as a player meets it, through the real program headless: a click on
// the mailbox at the gate opens the close-up, which fades in over the gate; the letter in it is
// taken into the bar through the item frame and is gone from the mailbox; taken from the bar
// onto the dial lock, the letter is spent; a click above the close-up's frame closes it back to
// the gate.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <filesystem>
#include <string>

namespace {

using namespace e2etest;

// Where the player clicks, in window pixels: the mailbox at the gate, the letter in the
// close-up, the item frame's button, the bar's first slot, the dial, and above the frame.
constexpr int kMailbox[2] = {917, 373}, kLetter[2] = {469, 384}, kContinue[2] = {512, 477};
constexpr int kFirstSlot[2] = {232, 718}, kDial[2] = {896, 555}, kAbove[2] = {512, 30};

// Frames (0.05 s each): the gate, a third into the fade-in, open, the item frame, the letter
// taken, the letter spent on the dial, back at the gate.
constexpr int kAtGate = 130, kFadingIn = 150, kOpen = 165, kFrameShown = 195, kTaken = 240, kSpent = 290;
constexpr int kBack = 340;
const std::string kFrames = "130,150,165,195,240,290,340";

std::string Script() {
  return DeclineTutorial(100) + ClickWindow(140, kMailbox[0], kMailbox[1]) + ClickWindow(170, kLetter[0], kLetter[1]) +
         ClickWindow(205, kContinue[0], kContinue[1]) + ClickWindow(250, kFirstSlot[0], kFirstSlot[1]) +
         ClickWindow(265, kDial[0], kDial[1]) + ClickWindow(300, kAbove[0], kAbove[1]);
}

// The letter in the close-up, the mailbox's view round it, and the bar's first slot.
constexpr SPixelRect kLetterArea = {360, 330, 580, 440};
constexpr SPixelRect kView = {0, 100, kWindowWidth, 660};
constexpr SPixelRect kFirstSlotFace = {212, 698, 252, 738};

bool IsPaper(SRgb c) { return c.r > 170 && c.g > 150 && c.b > 110; }

class CloseUpWalkTest : public CProgramTest {};

TEST_F(CloseUpWalkTest, TheMailboxOpensOverTheGateItsLetterIsTakenAndItClosesBackToTheGate) {
  const std::string program = InstallProgram(m_home, kStoryStartup);
  std::filesystem::remove_all(m_home + "/data/Saves");
  const SProgramRun run = Run(program, kBack + 5, "0.05", Script(), kFrames);
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const CCapturedFrame gate = Frame(kAtGate), fading = Frame(kFadingIn), open = Frame(kOpen);
  ASSERT_TRUE(gate.IsLoaded() && fading.IsLoaded() && open.IsLoaded());
  const int area = kView.Width() * kView.Height();
  // The close-up covers the gate; while it fades in, both show: the picture differs from each.
  EXPECT_GT(open.CountDifferences(gate, kView, 12), area / 3) << "the mailbox's close-up";
  EXPECT_GT(fading.CountDifferences(gate, kView, 12), area / 4) << "the close-up shows while it fades in";
  EXPECT_GT(fading.CountDifferences(open, kView, 12), area / 4) << "the gate shows through the fade";
  EXPECT_GT(open.Count(kLetterArea, IsPaper), 2000) << "the letter lies in the mailbox";

  // Taken: the letter leaves the mailbox for the bar's first slot.
  const CCapturedFrame shown = Frame(kFrameShown), taken = Frame(kTaken);
  ASSERT_TRUE(shown.IsLoaded() && taken.IsLoaded());
  EXPECT_GT(shown.CountDifferences(open, kView, 12), area / 10) << "the item frame over the close-up";
  EXPECT_LT(taken.Count(kLetterArea, IsPaper), 200) << "the letter is gone";
  EXPECT_GT(taken.CountDifferences(open, kFirstSlotFace, 12), 200) << "the letter is in the bar";

  // The letter set the dial: it has left the bar.
  const CCapturedFrame spent = Frame(kSpent);
  ASSERT_TRUE(spent.IsLoaded());
  EXPECT_LT(spent.CountDifferences(open, kFirstSlotFace, 12), 100) << "the first slot is empty again";

  // A click above the frame closes the close-up: the gate again.
  const CCapturedFrame back = Frame(kBack);
  ASSERT_TRUE(back.IsLoaded());
  EXPECT_LT(back.CountDifferences(gate, kView, 12), area / 20) << "the gate as it was";
}

}  // namespace
