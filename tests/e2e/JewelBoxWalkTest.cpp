// The jewel box as a player meets it, through the real program headless: at the path, once the
// lantern is lit, a click on the lock opens the box over the path; its red jewels show where the
// box's layout puts them, and a click on its way back leaves it for the path as it was.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <filesystem>
#include <string>

namespace {

using namespace e2etest;

// Where the player clicks, in window pixels: the gate, the way on to the path, the lantern, the
// item frame's button, the lock, and the box's way back (top right).
constexpr int kGate[2] = {512, 400}, kGatePath[2] = {512, 470}, kLantern[2] = {235, 352}, kContinue[2] = {512, 477};
constexpr int kLock[2] = {789, 533}, kBoxExit[2] = {956, 94};

// Frames (0.05 s each): the path with the lantern lit, the box open, back on the path.
constexpr int kLit = 355, kBoxOpen = 385, kBack = 425;
const std::string kFrames = "355,385,425";

std::string Script() {
  return DeclineTutorial(100) + ClickWindow(200, kGate[0], kGate[1]) + ClickWindow(250, kGatePath[0], kGatePath[1]) +
         ClickWindow(295, kLantern[0], kLantern[1]) + ClickWindow(330, kContinue[0], kContinue[1]) +
         ClickWindow(365, kLock[0], kLock[1]) + ClickWindow(395, kBoxExit[0], kBoxExit[1]);
}

constexpr SPixelRect kView = {0, 100, kWindowWidth, 660};
// A red jewel of the box as it starts (redJewel1), in window pixels.
constexpr SPixelRect kRedJewel = {235, 353, 255, 373};

bool IsRed(SRgb c) { return c.r > 120 && c.r > c.g + 60 && c.r > c.b + 60; }

class JewelBoxWalkTest : public CProgramTest {};

TEST_F(JewelBoxWalkTest, TheLockOpensTheJewelBoxOverThePathAndItsWayBackLeavesIt) {
  const std::string program = InstallProgram(m_home, kStoryStartup);
  std::filesystem::remove_all(m_home + "/data/Saves");
  const SProgramRun run = Run(program, kBack + 5, "0.05", Script(), kFrames);
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const CCapturedFrame lit = Frame(kLit), box = Frame(kBoxOpen), back = Frame(kBack);
  ASSERT_TRUE(lit.IsLoaded() && box.IsLoaded() && back.IsLoaded());
  const int area = kView.Width() * kView.Height();
  EXPECT_GT(box.CountDifferences(lit, kView, 12), area / 3) << "the box covers the path";
  EXPECT_GT(box.Count(kRedJewel, IsRed), 100) << "a red jewel where the box's layout puts it";
  EXPECT_LT(back.CountDifferences(lit, kView, 12), area / 50) << "back on the path as it was";
}

}  // namespace
