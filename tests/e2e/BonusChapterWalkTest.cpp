// The bonus chapter as a player meets it, through the real program headless: the program starts
// straight into it, shows the collector's street, walks through the garden gate into the garden,
// and opens the chapter's map over the garden, which stays behind it still and blurred; the
// street's mailbox gives its letter into the bar, and the shed's store room is searched; the games
// room's arcade machine opens over the room and is left by its exit; the map's blurred backdrop
// sharpens while the map opens, and the frozen screens behind the pause and behind the item frame
// over a close-up are taken again after "Full screen" is ticked off and on in the pause menu's
// options (each tick switches the display mode and resets the device).

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <filesystem>
#include <string>

namespace {

using namespace e2etest;

// Where the player clicks, in window pixels, and in which frames (0.05 s each).
constexpr int kGardenGate[2] = {198, 423}, kCompass[2] = {959, 707};
constexpr int kInStreet = 40, kInGarden = 100, kMapOpen = 150, kEnd = 160;
const std::string kFrames = "40,100,150";

std::string Script() {
  return ClickWindow(50, kGardenGate[0], kGardenGate[1]) + ClickWindow(110, kCompass[0], kCompass[1]);
}

// The place above the bar, and the garden's band below the map's parchment.
constexpr SPixelRect kView = {0, 100, kWindowWidth, 660};
constexpr SPixelRect kBelowMap = {0, 615, kWindowWidth, 655};

class BonusChapterWalkTest : public CProgramTest {
 protected:
  // The program started straight into the chapter without a save, for frames of 0.05 s each.
  SProgramRun Play(int frames, const std::string& script, const std::string& captures) {
    const std::string program = InstallProgram(m_home, kBonusStartup);
    std::filesystem::remove_all(m_home + "/data/Saves");
    return Run(program, frames, "0.05", script, captures);
  }
};

TEST_F(BonusChapterWalkTest, TheChapterStartsInTheStreetWalksIntoTheGardenAndShowsItsMapOverTheBlurredGarden) {
  const SProgramRun run = Play(kEnd, Script(), kFrames);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("bonus chapter has no"), std::string::npos) << run.output;

  const CCapturedFrame street = Frame(kInStreet), garden = Frame(kInGarden), map = Frame(kMapOpen);
  ASSERT_TRUE(street.IsLoaded() && garden.IsLoaded() && map.IsLoaded());
  // The street at dusk: a greenish sky between the house fronts, under the dark of the night.
  const SRgb sky = street.Pixel(512, 230);
  EXPECT_TRUE(sky.g > sky.r && sky.g > 30) << int(sky.r) << "," << int(sky.g) << "," << int(sky.b);
  EXPECT_GT(garden.CountDifferences(street, kView, 12), kView.Width() * kView.Height() / 3) << "the garden";

  // The map's parchment lies over the middle; below it the garden shows, as bright as it was but
  // with its edges softened.
  const SRgb parchment = map.Pixel(512, 300);
  EXPECT_TRUE(parchment.r > 120 && parchment.r > parchment.b) << int(parchment.r) << "," << int(parchment.b);
  const double brightness = double(map.Brightness(kBelowMap)) / double(garden.Brightness(kBelowMap));
  EXPECT_GT(brightness, 0.9);
  EXPECT_LT(brightness, 1.1);
  EXPECT_LT(map.Sharpness(kBelowMap), garden.Sharpness(kBelowMap) / 2) << "the garden behind the map is blurred";
}

// Where the player clicks, in layout pixels, and in which frames: the mailbox in the street, the
// letter in its close-up, the item frame's button (a window point), above the close-up's frame,
// the garden gate, the shed's doorway, the lantern in the store room.
constexpr int kMailbox[2] = {842, 442}, kLetter[2] = {640, 380}, kGate[2] = {346, 397}, kShed[2] = {296, 357};
constexpr int kLantern[2] = {462, 441};
constexpr int kCloseUpOpen = 75, kLetterCarried = 160, kInStore = 300, kLanternFound = 345, kSearchEnd = 350;
const std::string kSearchFrames = "75,160,300,345";

std::string SearchScript() {
  return ClickLayout(45, kMailbox[0], kMailbox[1]) + ClickLayout(80, kLetter[0], kLetter[1]) +
         ClickWindow(110, 512, 477) + ClickWindow(165, 512, 30) + ClickLayout(205, kGate[0], kGate[1]) +
         ClickLayout(255, kShed[0], kShed[1]) + ClickLayout(305, kLantern[0], kLantern[1]);
}

constexpr SPixelRect kFirstSlotFace = {212, 698, 252, 738};
const SPixelRect kLetterArea = {WindowX(540), WindowY(340), WindowX(740), WindowY(420)};
const SPixelRect kLanternGlass = {WindowX(449), WindowY(400), WindowX(477), WindowY(434)};

bool IsPaper(SRgb c) { return c.r > 170 && c.g > 150 && c.b > 110; }
bool IsAmber(SRgb c) { return c.r > 180 && c.g > 110 && c.b < 120; }

TEST_F(BonusChapterWalkTest, TheMailboxGivesItsLetterAndTheShedsStoreRoomIsSearched) {
  const SProgramRun run = Play(kSearchEnd, SearchScript(), kSearchFrames);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const CCapturedFrame open = Frame(kCloseUpOpen), carried = Frame(kLetterCarried);
  const CCapturedFrame store = Frame(kInStore), found = Frame(kLanternFound);
  ASSERT_TRUE(open.IsLoaded() && carried.IsLoaded() && store.IsLoaded() && found.IsLoaded());
  EXPECT_GT(open.Count(kLetterArea, IsPaper), 2000) << "the letter lies in the mailbox";
  EXPECT_GT(carried.Count(kFirstSlotFace, IsPaper), open.Count(kFirstSlotFace, IsPaper) + 20)
      << "the letter is carried in the bar";
  EXPECT_GT(store.Count(kLanternGlass, IsAmber), 100) << "the lantern lies in the store room";
  EXPECT_LT(found.Count(kLanternGlass, IsAmber), store.Count(kLanternGlass, IsAmber) / 4) << "and is found";
}

// Where the player clicks, in layout pixels, and in which frames: the garden gate, the house door,
// the parlour's door to the games room, the arcade cabinet, the machine's exit.
constexpr int kHouseDoor[2] = {962, 356}, kGamesDoor[2] = {274, 360}, kCabinet[2] = {405, 346};
constexpr int kMachineExit[2] = {1056, 88};
constexpr int kInGamesRoom = 190, kMachineOpen = 235, kBackInRoom = 285, kArcadeEnd = 290;
const std::string kArcadeFrames = "190,235,285";

std::string ArcadeScript() {
  return ClickLayout(45, kGate[0], kGate[1]) + ClickLayout(95, kHouseDoor[0], kHouseDoor[1]) +
         ClickLayout(145, kGamesDoor[0], kGamesDoor[1]) + ClickLayout(195, kCabinet[0], kCabinet[1]) +
         ClickLayout(245, kMachineExit[0], kMachineExit[1]);
}

// The machine's monitor (layout pixels 520..760 x 60..550): dark blue-green glass.
const SPixelRect kMonitor = {WindowX(520), WindowY(60), WindowX(760), WindowY(550)};
bool IsMonitorGlass(SRgb c) { return c.g > c.r + 4 && c.b > c.r && c.g < 80; }
// A block of the sliding row: pale green.
bool IsBlock(SRgb c) { return c.g > 200 && c.g > c.r + 25 && c.b > 150; }

TEST_F(BonusChapterWalkTest, TheGamesRoomsArcadeMachineOpensOverTheRoomAndIsLeftByItsExit) {
  const SProgramRun run = Play(kArcadeEnd, ArcadeScript(), kArcadeFrames);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const CCapturedFrame room = Frame(kInGamesRoom), machine = Frame(kMachineOpen), back = Frame(kBackInRoom);
  ASSERT_TRUE(room.IsLoaded() && machine.IsLoaded() && back.IsLoaded());
  const int monitorArea = kMonitor.Width() * kMonitor.Height();
  EXPECT_GT(machine.CountDifferences(room, kMonitor, 12), monitorArea / 2) << "the machine over the room";
  EXPECT_GT(machine.Count(kMonitor, IsMonitorGlass), monitorArea / 2) << "its monitor";
  EXPECT_EQ(room.Count(kMonitor, IsBlock), 0);
  EXPECT_GT(machine.Count(kMonitor, IsBlock), 2000) << "with its sliding row of four blocks";
  EXPECT_LT(back.CountDifferences(room, kView, 12), kView.Width() * kView.Height() / 20) << "back in the room";
}

// A device call that failed is reported with its code; a lost device is not reported.
constexpr const char* kFailedDeviceCall = "(0x8876";

// The pause menu's options button, the options box's full-screen tick and OK button in window
// pixels of the 1024 x 768 window, the tick in the 921 x 690 window a switch to a window gives,
// and the pause menu's continue button.
constexpr int kOptions[2] = {512, 326}, kTick[2] = {454, 434}, kSmallTick[2] = {408, 390}, kOk[2] = {666, 538};
constexpr int kContinue[2] = {512, 211};

// From frame `from`: Escape, the options box, "Full screen" ticked off and on again (two resets
// of the device while paused), OK and continue; the box stands open after the resets from frame
// from + 75 to from + 82 and the game plays again from frame from + 110.
std::string PauseAndSwitchTwice(int from) {
  return KeyPress(from, "Escape") + ClickWindow(from + 15, kOptions[0], kOptions[1]) +
         ClickWindow(from + 35, kTick[0], kTick[1]) + ClickWindow(from + 55, kSmallTick[0], kSmallTick[1]) +
         ClickWindow(from + 75, kOk[0], kOk[1]) + ClickWindow(from + 95, kContinue[0], kContinue[1]);
}

// The share of the area's pixels that differ from the other frame's by more than a little: none
// in a picture taken again the same.
double ShareOfDifferences(const CCapturedFrame& a, const CCapturedFrame& b, const SPixelRect& area) {
  return double(a.CountDifferences(b, area, 12)) / double(area.Width() * area.Height());
}

// The map opens between frames 118 and 128; paused from frame 160, the options box open before
// the resets at frame 190 and after them at 232, and the map back at 290. What lies outside the
// options box: the band above it and the bar below.
constexpr int kMapOpening = 121, kMapBeforePause = 155, kPausedBefore = 190, kPausedAfter = 232, kMapAgain = 290;
constexpr SPixelRect kAboveBox = {0, 0, kWindowWidth, 120};
constexpr SPixelRect kBar = {0, 600, kWindowWidth, kWindowHeight};

TEST_F(BonusChapterWalkTest, TheMapsBackdropFollowsItsFadeAndIsTakenAgainAfterTheModeSwitchesWhilePaused) {
  const SProgramRun run = Play(300, Script() + PauseAndSwitchTwice(160), "121,150,155,190,232,290");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find(kFailedDeviceCall), std::string::npos) << run.output;
  const CCapturedFrame opening = Frame(kMapOpening), open = Frame(kMapOpen), before = Frame(kMapBeforePause);
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

// The item frame stands over the mailbox's close-up from frame 100 on; paused from frame 105, the
// options box open before the resets at frame 135 and after them at 175, the game back at 235.
constexpr int kFrameOpen = 104, kBoxBefore = 135, kBoxAfter = 175, kFrameAgain = 235;
// The close-up's wooden frame at the left, clear of the item frame and the options box, and the
// close-up's bands above and below the item frame (under the note at the top).
constexpr SPixelRect kCloseUpLeft = {0, 60, 120, 660};
constexpr SPixelRect kCloseUpAbove = {0, 60, kWindowWidth, 200};
constexpr SPixelRect kCloseUpBelow = {0, 540, kWindowWidth, 660};

TEST_F(BonusChapterWalkTest, TheCloseUpBehindTheItemFrameIsTakenAgainAfterTheModeSwitchesWhilePaused) {
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
  const double brightness = double(boxAfter.Brightness(kCloseUpLeft)) / double(boxBefore.Brightness(kCloseUpLeft));
  EXPECT_GT(brightness, 0.9);
  EXPECT_LT(brightness, 1.1);
  // Back in the game the item frame stands over the close-up as it did, not over the street.
  EXPECT_LT(ShareOfDifferences(frameAgain, frame, kCloseUpAbove), 0.01);
  EXPECT_LT(ShareOfDifferences(frameAgain, frame, kCloseUpBelow), 0.01);
}

}  // namespace
