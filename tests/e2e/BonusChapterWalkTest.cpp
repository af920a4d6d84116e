// The bonus chapter as a player meets it, through the real program headless: the program starts
// straight into it, shows the collector's street, walks through the garden gate into the garden,
// and opens the chapter's map over the garden, which stays behind it still and blurred; the
// street's mailbox gives its letter into the bar, and the shed's store room is searched.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <filesystem>
#include <string>

namespace {

using namespace e2etest;

// Where the player clicks, in window pixels, and in which frames (0.05 s each).
constexpr int kGardenGate[2] = {96, 448}, kCompass[2] = {959, 707};
constexpr int kInStreet = 40, kInGarden = 100, kMapOpen = 150, kEnd = 160;
const std::string kFrames = "40,100,150";

std::string Script() {
  return ClickWindow(50, kGardenGate[0], kGardenGate[1]) + ClickWindow(110, kCompass[0], kCompass[1]);
}

// The place above the bar, and the garden's band below the map's parchment.
constexpr SPixelRect kView = {0, 100, kWindowWidth, 660};
constexpr SPixelRect kBelowMap = {0, 615, kWindowWidth, 655};

class BonusChapterWalkTest : public CProgramTest {};

TEST_F(BonusChapterWalkTest, TheChapterStartsInTheStreetWalksIntoTheGardenAndShowsItsMapOverTheBlurredGarden) {
  const std::string program = InstallProgram(m_home, kBonusStartup);
  std::filesystem::remove_all(m_home + "/data/Saves");
  const SProgramRun run = Run(program, kEnd, "0.05", Script(), kFrames);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("bonus chapter has no"), std::string::npos) << run.output;

  const CCapturedFrame street = Frame(kInStreet), garden = Frame(kInGarden), map = Frame(kMapOpen);
  ASSERT_TRUE(street.IsLoaded() && garden.IsLoaded() && map.IsLoaded());
  // The street at dusk: a greenish sky over the house fronts.
  const SRgb sky = street.Pixel(512, 30);
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
constexpr int kMailbox[2] = {850, 470}, kLetter[2] = {640, 380}, kGate[2] = {250, 420}, kShed[2] = {200, 380};
constexpr int kLantern[2] = {390, 200};
constexpr int kCloseUpOpen = 75, kLetterCarried = 160, kInStore = 300, kLanternFound = 345, kSearchEnd = 350;
const std::string kSearchFrames = "75,160,300,345";

std::string SearchScript() {
  return ClickLayout(45, kMailbox[0], kMailbox[1]) + ClickLayout(80, kLetter[0], kLetter[1]) +
         ClickWindow(110, 512, 477) + ClickWindow(165, 512, 30) + ClickLayout(205, kGate[0], kGate[1]) +
         ClickLayout(255, kShed[0], kShed[1]) + ClickLayout(305, kLantern[0], kLantern[1]);
}

constexpr SPixelRect kFirstSlotFace = {212, 698, 252, 738};
const SPixelRect kLetterArea = {WindowX(540), WindowY(340), WindowX(740), WindowY(420)};
const SPixelRect kLanternGlass = {WindowX(378), WindowY(190), WindowX(402), WindowY(228)};

bool IsPaper(SRgb c) { return c.r > 170 && c.g > 150 && c.b > 110; }
bool IsAmber(SRgb c) { return c.r > 180 && c.g > 110 && c.b < 120; }

TEST_F(BonusChapterWalkTest, TheMailboxGivesItsLetterAndTheShedsStoreRoomIsSearched) {
  const std::string program = InstallProgram(m_home, kBonusStartup);
  std::filesystem::remove_all(m_home + "/data/Saves");
  const SProgramRun run = Run(program, kSearchEnd, "0.05", SearchScript(), kSearchFrames);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const CCapturedFrame open = Frame(kCloseUpOpen), carried = Frame(kLetterCarried);
  const CCapturedFrame store = Frame(kInStore), found = Frame(kLanternFound);
  ASSERT_TRUE(open.IsLoaded() && carried.IsLoaded() && store.IsLoaded() && found.IsLoaded());
  EXPECT_GT(open.Count(kLetterArea, IsPaper), 2000) << "the letter lies in the mailbox";
  EXPECT_GT(carried.Count(kFirstSlotFace, IsPaper), open.Count(kFirstSlotFace, IsPaper) + 20)
      << "the letter is carried in the bar";
  EXPECT_GT(store.Count(kLanternGlass, IsAmber), 100) << "the lantern hangs in the store room";
  EXPECT_LT(found.Count(kLanternGlass, IsAmber), store.Count(kLanternGlass, IsAmber) / 4) << "and is found";
}

}  // namespace
