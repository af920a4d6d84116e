// The item frame as a player meets it, through the real program headless: an object taken in a
// location (the knife at the gate) and one taken in a close-up (the letter in the mailbox) each
// show in the frame's hollow under "You found" until the frame's button lets them fly on.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <filesystem>
#include <string>

namespace {

using namespace e2etest;

constexpr int kKnife[2] = {330, 597}, kMailbox[2] = {917, 373}, kLetter[2] = {469, 384};

// The frame's hollow, where the taken object waits, in window pixels.
constexpr SPixelRect kHollow = {462, 319, 562, 419};

bool IsSteel(SRgb c) { return c.r > 110 && std::abs(c.r - c.b) < 30 && std::abs(c.r - c.g) < 30; }
bool IsPaper(SRgb c) { return c.r > 170 && c.g > 150 && c.b > 110; }

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

}  // namespace
