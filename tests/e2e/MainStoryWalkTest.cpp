// The main story as a player meets it, through the real program headless: a new game starts
// at the gate, the player takes the knife, opens the gate and walks on through the path and the
// hall into the study, where the knife trims the candle; Escape freezes the study blurred behind
// the pause menu and its continue button brings it back; the window is closed, and the next start
// finds the player in the study with the candle burning and the knife spent.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <filesystem>
#include <string>

namespace {

using namespace e2etest;

// Where the player clicks, in window pixels, and in which frames (0.05 s each): the opening
// line of the gate has ended by the first click.
constexpr int kHallLamp[2] = {917, 320}, kStudyDoor[2] = {107, 405};
constexpr int kFirstSlot[2] = {232, 718}, kCandle[2] = {576, 440};
// The pause menu's buttons down the middle of the window, continue first.
constexpr int kPauseButtonX = 512, kPauseButtonY[4] = {211, 326, 442, 557};

// Frames to look at: the gate, the knife taken, the gate open, the path, the hall, the study,
// the candle lit, before the pause, paused, resumed.
constexpr int kAtGate = 130, kKnifeTaken = 195, kGateOpen = 240, kOnPath = 285, kInHall = 320, kInStudy = 500;
constexpr int kCandleLit = 545, kBeforePause = 575, kPaused = 595, kResumed = 640, kWindowClosed = 650;
const std::string kWalkFrames = "130,195,240,285,320,500,545,575,595,640";

std::string WalkScript() {
  std::string script = WalkIntoTheHall();
  script += ClickWindow(330, kHallLamp[0], kHallLamp[1]);
  script += ClickWindow(460, kStudyDoor[0], kStudyDoor[1]);
  script += ClickWindow(505, kFirstSlot[0], kFirstSlot[1]);  // the knife into the hand
  script += ClickWindow(525, kCandle[0], kCandle[1]);        // and onto the candle
  // The pointer off the buttons while the menu shows: a hovered button grows.
  script += MouseMoveTo(570, VirtualX(900), VirtualY(80));
  script += KeyPress(580, "Escape") + ClickWindow(610, kPauseButtonX, kPauseButtonY[0]);
  script +=
      std::to_string(kWindowClosed) + " key down Left Alt\n" + std::to_string(kWindowClosed + 1) + " key down F4\n";
  return script;
}

// The picture of the place above the bar and below the note line.
constexpr SPixelRect kView = {0, 100, kWindowWidth, 660};
constexpr SPixelRect kUpperWall = {600, 120, 1000, 250};
constexpr SPixelRect kFirstSlotFace = {212, 698, 252, 738};
constexpr SPixelRect kCandleFlame = {560, 370, 592, 400};
constexpr SPixelRect kGateBars = {390, 320, 630, 530};
// The study beside the pause menu's panel.
constexpr SPixelRect kBesidePanel = {0, 100, 330, 660};
// The study's fireplace against the dark wall: a hard edge while the study is live.
constexpr SPixelRect kFireplaceEdge = {20, 300, 120, 520};

bool IsSteel(SRgb c) { return c.r > 110 && std::abs(c.r - c.b) < 30 && std::abs(c.r - c.g) < 30; }
bool IsFlame(SRgb c) { return c.r > 180 && c.g > 150; }
bool IsDark(SRgb c) { return c.Sum() < 75; }
bool IsBrass(SRgb c) { return c.r > 120 && c.g > 80 && c.b < 70 && c.r > c.b + 60; }
bool IsCream(SRgb c) { return c.r > 190 && c.g > 180 && c.b > 150; }

class MainStoryWalkTest : public CProgramTest {
 protected:
  // A good part of the area's pixels differ: another place.
  static void ExpectOtherPlace(const CCapturedFrame& a, const CCapturedFrame& b, const char* what) {
    EXPECT_GT(a.CountDifferences(b, kUpperWall, 12), kUpperWall.Width() * kUpperWall.Height() / 3) << what;
  }
  // Hardly any pixel differs: the same place, as it was.
  static void ExpectSamePlace(const CCapturedFrame& a, const CCapturedFrame& b, const char* what) {
    EXPECT_LT(a.CountDifferences(b, kView, 12), kView.Width() * kView.Height() / 50) << what;
  }
};

TEST_F(MainStoryWalkTest, ANewGameWalksThreePlacesUsesAnItemPausesAndComesBackFromTheSave) {
  const std::string program = InstallProgram(m_home, kStoryStartup);
  std::filesystem::remove_all(m_home + "/data/Saves");
  const SProgramRun walk = Run(program, kWindowClosed + 50, "0.05", WalkScript(), kWalkFrames);
  ASSERT_EQ(walk.exitCode, 0) << walk.output;
  EXPECT_LT(FramesRun(walk), kWindowClosed + 5) << "the closed window ends the program";
  EXPECT_TRUE(std::filesystem::exists(SavePath())) << walk.output;

  const CCapturedFrame gate = Frame(kAtGate), taken = Frame(kKnifeTaken), open = Frame(kGateOpen);
  ASSERT_TRUE(gate.IsLoaded() && taken.IsLoaded() && open.IsLoaded());
  // The gate at dusk: a greenish sky over the wall, the bar empty.
  const SRgb sky = gate.Pixel(700, 150);
  EXPECT_TRUE(sky.g > sky.b && sky.g > 40) << int(sky.r) << "," << int(sky.g) << "," << int(sky.b);
  EXPECT_EQ(gate.Count(kFirstSlotFace, IsSteel), 0);
  // The knife sits in the first slot of the bar; the opened gate shows the dark path beyond.
  EXPECT_GT(taken.Count(kFirstSlotFace, IsSteel), 20);
  EXPECT_GT(std::abs(open.Count(kGateBars, IsDark) - taken.Count(kGateBars, IsDark)), 1000);

  // Through the gate, along the path, into the hall and the study: each a place of its own.
  const CCapturedFrame path = Frame(kOnPath), hall = Frame(kInHall), study = Frame(kInStudy);
  ExpectOtherPlace(path, open, "the path after the gate");
  ExpectOtherPlace(hall, path, "the hall after the path");
  ExpectOtherPlace(study, hall, "the study after the hall");
  EXPECT_GT(study.Count(kFirstSlotFace, IsSteel), 20) << "the knife is still carried";

  // The knife trims the candle: it burns, and the knife has left the bar.
  const CCapturedFrame lit = Frame(kCandleLit);
  EXPECT_EQ(study.Count(kCandleFlame, IsFlame), 0);
  EXPECT_GT(lit.Count(kCandleFlame, IsFlame), 50);
  EXPECT_EQ(lit.Count(kFirstSlotFace, IsSteel), 0);

  // Paused: beside the menu the same study, still and blurred, as bright as it was but with its
  // edges softened; the menu's four buttons down the middle, each a brass-rimmed plate with its
  // word; resumed by continue: as it was.
  const CCapturedFrame before = Frame(kBeforePause), paused = Frame(kPaused), resumed = Frame(kResumed);
  const double brightness = double(paused.Brightness(kBesidePanel)) / double(before.Brightness(kBesidePanel));
  EXPECT_GT(brightness, 0.97);
  EXPECT_LT(brightness, 1.03);
  EXPECT_LT(paused.Sharpness(kFireplaceEdge), before.Sharpness(kFireplaceEdge) / 2) << "the fireplace's edge is soft";
  EXPECT_LT(paused.Sharpness(kBesidePanel), before.Sharpness(kBesidePanel) / 2) << "the study is blurred";
  for (int y : kPauseButtonY) {
    const SPixelRect plate = {kPauseButtonX - 100, y - 25, kPauseButtonX + 100, y + 25};
    EXPECT_GT(paused.Count(plate, IsBrass), 100) << "the rim of the button at " << y;
    EXPECT_GT(paused.Count(plate, IsCream), 20) << "the word on the button at " << y;
  }
  ExpectSamePlace(resumed, before, "after the pause");

  // The next start enters the saved study with the candle burning and the knife spent.
  std::filesystem::remove_all(Captures());
  const SProgramRun again = Run(program, 60, "0.05", "", "50");
  ASSERT_EQ(again.exitCode, 0) << again.output;
  const CCapturedFrame restored = Frame(50);
  ASSERT_TRUE(restored.IsLoaded());
  EXPECT_LT(restored.CountDifferences(before, kUpperWall, 12), kUpperWall.Width() * kUpperWall.Height() / 50);
  EXPECT_GT(restored.Count(kCandleFlame, IsFlame), 50);
  EXPECT_EQ(restored.Count(kFirstSlotFace, IsSteel), 0);
}

}  // namespace
