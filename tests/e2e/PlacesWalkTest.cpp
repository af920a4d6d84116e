// A search and three places of the main story as a player reaches them, through the real program
// headless: from a new game at the gate yard into the shed's search and back, round the lane to
// the landing and down its stairs into the study. Each is saved into the build tree
// (e2e-frames/places/) and must show its own picture: not blank, unlike every other one, with its
// landmark where the place has it, and the landing's lantern and motes moving between two frames.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"
#include "tests/e2e/ShedSearch.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace e2etest;

// Where the player clicks, in layout pixels, after the shed's door and its way out: the lane round
// to the back door, the landing's stairs down.
constexpr int kLane[2] = {1020, 552}, kStairsDown[2] = {940, 540};
// Frames (0.05 s each) of the captures: the yard, the search, the landing twice half a second
// apart, the study.
constexpr int kYard = 130, kSearch = 175, kLanding = 290, kLandingLater = 300, kStudy = 350;

struct SPlaceFrame {
  const char* name;
  int frame;
  SPixelRect landmark;  // in window pixels
  std::function<bool(SRgb)> looks;
  const char* what;
};

bool IsGold(SRgb c) { return c.r > 150 && c.g > 110 && c.b < 90 && c.r > c.b + 80; }
bool IsMailboxGreen(SRgb c) { return c.g > c.r + 25 && c.g > 70; }
bool IsCandleWax(SRgb c) { return c.r > 190 && c.g > 180 && c.b > 140; }

SPixelRect LayoutRect(int left, int top, int right, int bottom) {
  return {WindowX(left), WindowY(top), WindowX(right), WindowY(bottom)};
}

// The play area above the bar, in window pixels.
constexpr SPixelRect kPlayArea = {0, 0, kWindowWidth, 640};

// The spread (standard deviation) of the area's brightness, 0 to 255: near 0 for a frame of one
// shade, its grain included; the darkest place shows well above kLeastSpread.
double BrightnessSpread(const CCapturedFrame& frame, const SPixelRect& area) {
  double sum = 0, squares = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const double v = frame.Pixel(x, y).Sum() / 3.0;
      sum += v;
      squares += v * v;
    }
  const double n = double(area.Width()) * area.Height(), mean = sum / n;
  return std::sqrt(std::max(0.0, squares / n - mean * mean));
}
constexpr double kLeastSpread = 8.0;

class PlacesWalkTest : public CProgramTest {};

TEST_F(PlacesWalkTest, ASearchAndThreePlacesEachShowTheirOwnPicture) {
  const std::string program = InstallProgram(m_home, kStoryStartup);
  std::filesystem::remove_all(m_home + "/data/Saves");
  const std::string script = DeclineTutorial(100) + ClickLayout(140, kShedDoor[0], kShedDoor[1]) +
                             ClickLayout(190, kWayOut[0], kWayOut[1]) + ClickLayout(230, kLane[0], kLane[1]) +
                             ClickLayout(310, kStairsDown[0], kStairsDown[1]);
  const SProgramRun run = Run(program, kStudy + 5, "0.05", script, "130,175,290,300,350");
  ASSERT_EQ(run.exitCode, 0) << run.output;

  const std::vector<SPlaceFrame> places = {
      {"yard", kYard, LayoutRect(970, 240, 1070, 320), IsMailboxGreen, "the mailbox's green"},
      {"search", kSearch, kLanternGlass, IsAmber, "the lantern on the shed's upper shelf"},
      {"landing", kLanding, LayoutRect(450, 150, 670, 310), IsGold, "the family portrait's gilt frame"},
      {"study", kStudy, LayoutRect(680, 350, 720, 440), IsCandleWax, "the candle on the desk"},
  };
  const std::string kept = std::string(HM_BINARY_DIR) + "/e2e-frames/places";
  std::filesystem::create_directories(kept);
  std::vector<CCapturedFrame> frames;
  for (const SPlaceFrame& place : places) {
    std::filesystem::copy_file(FramePath(place.frame), kept + "/" + place.name + ".png",
                               std::filesystem::copy_options::overwrite_existing);
    frames.emplace_back(FramePath(place.frame));
    const CCapturedFrame& frame = frames.back();
    ASSERT_TRUE(frame.IsLoaded()) << place.name;
    EXPECT_GT(BrightnessSpread(frame, kPlayArea), kLeastSpread) << place.name << " is blank";
    const SPixelRect& mark = place.landmark;
    EXPECT_GT(frame.Count(mark, place.looks), mark.Width() * mark.Height() / 20) << place.name << " lacks " << place.what;
  }
  const int area = kPlayArea.Width() * kPlayArea.Height();
  for (size_t a = 0; a < frames.size(); ++a)
    for (size_t b = a + 1; b < frames.size(); ++b)
      EXPECT_GT(frames[a].CountDifferences(frames[b], kPlayArea, 24), area / 3)
          << places[a].name << " and " << places[b].name << " show one picture";

  // Half a second on, the landing's lantern has swung and its motes have drifted.
  const CCapturedFrame later(FramePath(kLandingLater));
  ASSERT_TRUE(later.IsLoaded());
  const SPixelRect lantern = LayoutRect(720, 0, 800, 130);
  EXPECT_GT(later.CountDifferences(frames[2], lantern, 12), 20) << "the landing's lantern hangs still";
  const SPixelRect room = LayoutRect(160, 380, 1120, 600);
  EXPECT_GT(later.CountDifferences(frames[2], room, 12), 20) << "no motes drift in the landing";
}

}  // namespace
