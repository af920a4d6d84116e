// The item frame as a player meets it, through the real program headless: an object taken in a
// location (the knife at the gate) and one taken in a close-up (the letter in the mailbox) each
// show in the frame's hollow under "You found" until the frame's button lets them fly on; then
// the item sits in the bar large enough to make out, and its name reads dark on the bubble the
// pointer raises over its slot.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <filesystem>
#include <string>

namespace {

using namespace e2etest;

constexpr int kKnife[2] = {330, 597}, kMailbox[2] = {917, 373}, kLetter[2] = {469, 384};
constexpr int kFrameButton[2] = {512, 477};

// The bar's first slot, and the inside of the name bubble raised over it, in window pixels.
constexpr int kFirstSlot[2] = {230, 718};
constexpr SPixelRect kFirstSlotBox = {205, 693, 257, 745};
constexpr SPixelRect kBubbleInside = {185, 632, 275, 652};

// The frame's hollow, where the taken object waits, in window pixels.
constexpr SPixelRect kHollow = {462, 319, 562, 419};

bool IsSteel(SRgb c) { return c.r > 110 && std::abs(c.r - c.b) < 30 && std::abs(c.r - c.g) < 30; }
bool IsPaper(SRgb c) { return c.r > 170 && c.g > 150 && c.b > 110; }
bool IsCream(SRgb c) { return c.r > 200 && c.g > 180 && c.b > 140; }
bool IsInk(SRgb c) { return c.r + c.g + c.b < 300; }

class ItemFrameWalkTest : public CProgramTest {};

TEST_F(ItemFrameWalkTest, AnObjectTakenInALocationOrACloseUpWaitsInTheFramesHollow) {
  const std::string program = InstallProgram(m_home, kStoryStartup);
  const struct {
    const char* what;
    std::string script;
    int shown;
    bool (*looks)(SRgb);
  } kCases[] = {
      {"the knife at the gate", DeclineTutorial(100) + ClickAt(140, VirtualX(kKnife[0]), VirtualY(kKnife[1]), 10), 170,
       IsSteel},
      {"the letter in the mailbox",
       DeclineTutorial(100) + ClickWindow(140, kMailbox[0], kMailbox[1]) + ClickWindow(170, kLetter[0], kLetter[1]),
       200, IsPaper},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(m_home + "/data/Saves");
    std::filesystem::remove_all(Captures());
    const SProgramRun run = Run(program, c.shown + 2, "0.05", c.script, std::to_string(c.shown));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const CCapturedFrame shown = Frame(c.shown);
    ASSERT_TRUE(shown.IsLoaded());
    EXPECT_GT(shown.Count(kHollow, c.looks), 300) << "the object drawn in the frame";
  }
}

TEST_F(ItemFrameWalkTest, ATakenItemShowsLargeInTheBarAndItsNameReadsOnTheBubble) {
  const std::string program = InstallProgram(m_home, kStoryStartup);
  constexpr int kEmpty = 130, kResting = 215, kHovered = 240;
  const std::string script = DeclineTutorial(100) + ClickAt(140, VirtualX(kKnife[0]), VirtualY(kKnife[1]), 10) +
                             ClickWindow(175, kFrameButton[0], kFrameButton[1]) +
                             MouseMoveTo(220, VirtualX(kFirstSlot[0]), VirtualY(kFirstSlot[1]));
  const std::string captures =
      std::to_string(kEmpty) + "," + std::to_string(kResting) + "," + std::to_string(kHovered);
  const SProgramRun run = Run(program, kHovered + 2, "0.05", script, captures);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const CCapturedFrame empty = Frame(kEmpty), resting = Frame(kResting), hovered = Frame(kHovered);
  ASSERT_TRUE(empty.IsLoaded() && resting.IsLoaded() && hovered.IsLoaded());

  // The knife fills most of its 43-pixel slot, not a third of it.
  SPixelRect knife;
  ASSERT_GT(resting.CountDifferences(empty, kFirstSlotBox, 20, &knife), 0) << "the knife drawn in the first slot";
  EXPECT_GE(std::max(knife.Width(), knife.Height()), 32);

  // Dark letters on the cream bubble: light ones vanish into it.
  EXPECT_GT(hovered.Count(kBubbleInside, IsCream), 600) << "the bubble over the slot";
  EXPECT_GT(hovered.Count(kBubbleInside, IsInk), 150) << "the knife's name in dark letters";
}

}  // namespace
