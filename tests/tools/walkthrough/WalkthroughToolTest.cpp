// The walkthrough tool over the story's own content: it plays the main story to its ending,
// entering every place and passing every search and puzzle, and its script clicks where the
// layouts put the pictures; a picture it cannot reach stops it, saying where.

#include "tests/support/ProgramRun.h"
#include "tests/tools/walkthrough/GamePointer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string kLayouts = HM_SOURCE_DIR "/content/App/Layouts/";

// Where the game's pointer rests at the first click after the comment `what`, the script's
// mouse moves followed from its start; false when no move follows the comment.
bool ClickAfter(const std::string& script, const std::string& what, float* x, float* y) {
  const size_t at = script.find(what);
  if (at == std::string::npos) return false;
  walkthroughtest::CGamePointer pointer;
  const auto follow = [&pointer](const std::string& line) {
    int frame = 0, mouseX = 0, mouseY = 0;
    if (std::sscanf(line.c_str(), "%d mouse move %d %d", &frame, &mouseX, &mouseY) != 3) return false;
    pointer.PutMouse(mouseX, mouseY);
    pointer.Frames(20);
    return true;
  };
  std::istringstream before(script.substr(0, at));
  for (std::string line; std::getline(before, line);) follow(line);
  const size_t next = at + what.size();
  if (!follow(script.substr(next, script.find('\n', next) - next))) return false;
  *x = pointer.WindowX();
  *y = pointer.WindowY();
  return true;
}

class WalkthroughToolTest : public CToolTest {
 protected:
  WalkthroughToolTest() : CToolTest("walkthrough") {}

  // The main story's description (or the one given) with the story's layouts.
  int Plan(const std::string& description, const std::string& locations = ReadTextFile(kLayouts + "Locations.txt"),
           const std::string& options = "") {
    Write("GameInfo.xml", description);
    Write("Locations.txt", locations);
    return Run(Path("GameInfo.xml") + " " + kLayouts + "HUD.2dl " + kLayouts + "FrameSmall.2dl " + Path("Locations.txt") +
               " " + kLayouts + "World.txt " + kLayouts + "HiddenObjects.txt " + kLayouts + "CloseUp.txt -o " +
               Path("script.txt") + " --saved " + Path("saved.txt") + options);
  }
  static std::string Sample() { return ReadTextFile(HM_SOURCE_DIR "/content/App/Configs/GameInfo.xml"); }
  std::string Saved() const { return ReadTextFile(Path("saved.txt")); }
  std::string Script() const { return ReadTextFile(Path("script.txt")); }
};

TEST_F(WalkthroughToolTest, TheMainStoryIsPlayedToItsEndingThroughEveryPlaceSearchAndPuzzle) {
  ASSERT_EQ(Plan(Sample()), 0) << m_run.errors;
  const std::string saved = Saved();
  for (int slot = 0; slot < 33; ++slot)
    EXPECT_NE(saved.find("location " + std::to_string(slot) + "\n"), std::string::npos) << slot;
  for (int slot = 33; slot < 57; ++slot)
    EXPECT_NE(saved.find("search " + std::to_string(slot) + "\n"), std::string::npos) << slot;
  for (int puzzle = 0; puzzle < 8; ++puzzle)
    EXPECT_NE(saved.find("puzzle " + std::to_string(puzzle) + "\n"), std::string::npos) << puzzle;
  EXPECT_NE(saved.find("ending\n"), std::string::npos);
  EXPECT_EQ(saved.find("stuck"), std::string::npos);

  // The knife at the gate (layout pixels 470, 560) is the first thing taken, at its middle on the
  // 4:3 window, after the tutorial's question and an idle wait.
  const std::string script = Script();
  float x = 0, y = 0;
  ASSERT_TRUE(ClickAfter(script, "# take S01_Knife\n", &x, &y)) << script.substr(0, 600);
  EXPECT_NEAR(x, 331, 1);
  EXPECT_NEAR(y, 597, 1);
  // A puzzle is skipped once its skip button shows, a minute of frames of 0.05 s after it opened.
  ASSERT_TRUE(ClickAfter(script, "# skip puzzle 7\n", &x, &y));
  EXPECT_NE(script.find("# skip puzzle 7\n1241 mouse move "), std::string::npos);
  EXPECT_NEAR(x, 896, 1);
  EXPECT_NEAR(y, 557, 1);
}

// Each case takes away what the story needs at one step; the plan stops there and says so.
TEST_F(WalkthroughToolTest, AStoryThatCannotGoOnStopsTheToolNamingWhereItStopped) {
  const struct {
    const char* why;
    const char* from;
    const char* to;
    bool inLayouts;
    const char* stuck;
  } kCases[] = {
      {"the letter sets no dial", "<Action Object=\"I01_Letter\"", "<Action Object=\"I01_Nothing\"", false,
       "location slot"},
      {"the shed's door lies outside the window", "sprite S01_ExitShed    260 400",
       "sprite S01_ExitShed     60 400", true, "location slot"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.why);
    std::string description = Sample(), locations = ReadTextFile(kLayouts + "Locations.txt");
    std::string& text = c.inLayouts ? locations : description;
    const size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, std::string(c.from).size(), c.to);
    EXPECT_EQ(Plan(description, locations), 1);
    EXPECT_NE(m_run.errors.find(std::string("no move leads on from ") + c.stuck), std::string::npos) << m_run.errors;
    EXPECT_NE(Saved().find("stuck"), std::string::npos);
  }
}

// A picture with a hit mask is clicked on the mask nearest its middle: the knife's mask takes
// clicks only in its right quarter (a raw mask, a byte a pixel of its 128 x 64 picture).
// A way whose middle lies under the diary on the bar is clicked above the diary.
TEST_F(WalkthroughToolTest, ClicksLandWhereThePictureTakesThemAndClearOfTheDiary) {
  std::string mask(128 * 64, '\0');
  for (size_t row = 0; row < 64; ++row) mask.replace(row * 128 + 96, 32, 32, '\xff');
  std::filesystem::create_directories(Path("content/Art/Environments/Scene01"));
  std::ofstream(Path("content/Art/Environments/Scene01/S01_Knife.msk"), std::ios::binary) << mask;
  // A mask of the wrong size is named and left out: the gate is clicked anywhere in its box.
  std::ofstream(Path("content/Art/Environments/Scene01/S01_GateClosed.msk"), std::ios::binary) << "short";
  std::string locations = ReadTextFile(kLayouts + "Locations.txt");
  const std::string door = "sprite S01_ExitShed    260 400";
  ASSERT_NE(locations.find(door), std::string::npos);
  locations.replace(locations.find(door), door.size(), "sprite S01_ExitShed    640 650");
  ASSERT_EQ(Plan(Sample(), locations, " --masks " + Path("content")), 0) << m_run.errors;
  EXPECT_NE(m_run.errors.find("S01_GateClosed.msk: 5 bytes, not the 256 x 256 of its picture"), std::string::npos)
      << m_run.errors;
  const std::string script = Script();
  float x = 0, y = 0;
  ASSERT_TRUE(ClickAfter(script, "# take S01_Knife\n", &x, &y)) << script.substr(0, 600);
  // The quarter that takes clicks starts at layout x 502, window x 366.
  EXPECT_GE(x, 366);
  EXPECT_LE(x, 375);
  EXPECT_NEAR(y, 597, 1);
  // The diary's top is layout y 594, window y 634: the way is clicked just above it.
  ASSERT_TRUE(ClickAfter(script, "# search slot 33\n", &x, &y)) << script;
  EXPECT_NEAR(x, 512, 1);
  EXPECT_LT(y, 634);
  EXPECT_GT(y, 620);
}

// The puzzles' layouts as the build has them (the paint puzzle's with the pieces its mosaic
// tool drew), each but the one left out.
std::string PuzzleLayouts(const std::string& without = "") {
  std::string layouts;
  for (const char* name : {"Game01", "Game02", "Game03", "Game05", "Game06", "Game07", "Game08"})
    if (name != without) layouts += " " + kLayouts + name + ".txt";
  return layouts + " " HM_BINARY_DIR "/tools/content/minigame4/Game04.txt";
}

// How many clicks of the script carry the comment.
int CountClicks(const std::string& script, const std::string& what) {
  int count = 0;
  for (size_t at = script.find("# " + what + "\n"); at != std::string::npos; at = script.find("# " + what + "\n", at + 1))
    ++count;
  return count;
}

// With the puzzles' layouts every puzzle is played to its win by clicks on its board, none waits
// for its skip button; the clicks follow each puzzle's rules and the board the seed deals.
TEST_F(WalkthroughToolTest, EveryPuzzleIsSolvedByClicksOnTheBoardTheGameDeals) {
  ASSERT_EQ(Plan(Sample(), ReadTextFile(kLayouts + "Locations.txt"), PuzzleLayouts() + " --seed 46"), 0) << m_run.errors;
  const std::string saved = Saved(), script = Script();
  for (int puzzle = 0; puzzle < 8; ++puzzle)
    EXPECT_NE(saved.find("solved " + std::to_string(puzzle) + "\n"), std::string::npos) << puzzle << "\n" << m_run.errors;
  EXPECT_EQ(script.find("# skip puzzle"), std::string::npos);
  EXPECT_NE(script.find("# HOLLOWMERE_SEED=46\n"), std::string::npos);
  // The wheels start on in crossed diagonals of pairs: the middle columns and the second and
  // fourth rows turn every wheel on, and so do the other four switches (all eight flip nothing).
  std::string slid;
  for (int s = 1; s <= 8; ++s)
    for (int n = CountClicks(script, "slide switch " + std::to_string(s)); n > 0; --n) slid += std::to_string(s);
  EXPECT_TRUE(slid == "2368" || slid == "1457") << slid;
  // The code is entered a character a dial's turn, and every key part carried to its socket.
  EXPECT_EQ(CountClicks(script, "turn the dial to H"), 1);
  EXPECT_EQ(CountClicks(script, "turn the dial to 5"), 1);
  EXPECT_EQ(CountClicks(script, "put key part 18 on its socket"), 1);
  EXPECT_EQ(CountClicks(script, "let the liquid in"), 1);
  int turns46 = 0;
  for (int cell = 0; cell < 59; ++cell) turns46 += CountClicks(script, "turn pipe " + std::to_string(cell));

  // Another seed deals the pipes another board, turned with other clicks.
  ASSERT_EQ(Plan(Sample(), ReadTextFile(kLayouts + "Locations.txt"), PuzzleLayouts() + " --seed 7"), 0) << m_run.errors;
  int turns7 = 0;
  for (int cell = 0; cell < 59; ++cell) turns7 += CountClicks(Script(), "turn pipe " + std::to_string(cell));
  EXPECT_GT(turns46, 0);
  EXPECT_GT(turns7, 0);
  EXPECT_NE(turns46, turns7);

  // A puzzle whose layout the tool cannot solve is still passed, by its skip button, saying why.
  std::string key = ReadTextFile(kLayouts + "Game02.txt");
  const std::string socket = "sprite root/Dummy/key_18";
  ASSERT_NE(key.find(socket), std::string::npos);
  key.replace(key.find(socket), socket.size(), "sprite root/Dummy/key_99");
  Write("Game02.txt", key);
  ASSERT_EQ(Plan(Sample(), ReadTextFile(kLayouts + "Locations.txt"), PuzzleLayouts("Game02") + " " + Path("Game02.txt")),
            0)
      << m_run.errors;
  EXPECT_NE(m_run.errors.find("puzzle 1 is skipped: the layout has no \"root/Dummy/key_18\""), std::string::npos)
      << m_run.errors;
  EXPECT_EQ(CountClicks(Script(), "skip puzzle 1"), 1);
  EXPECT_EQ(Saved().find("solved 1\n"), std::string::npos);
}

// The bonus chapter's arcade is stopped row by row over the row below, each press timed to the
// frame from the seed's draws, with no wait between presses.
TEST_F(WalkthroughToolTest, TheArcadeIsStackedToItsTopByPressesTimedToTheFrame) {
  Write("bonus.xml", ReadTextFile(HM_SOURCE_DIR "/content/App/Configs/Collectors/CollectorsGameInfo.xml"));
  ASSERT_EQ(Run("--bonus " + Path("bonus.xml") + " " + kLayouts + "HUD.2dl " + kLayouts + "FrameSmall.2dl " + kLayouts +
                "Collectors.txt " + kLayouts + "Collectors/ArcadeGame01.txt -o " + Path("script.txt") + " --saved " +
                Path("saved.txt") + " --dt 0.1"),
            0)
      << m_run.errors;
  const std::string script = Script();
  EXPECT_NE(Saved().find("solved 0\n"), std::string::npos) << m_run.errors;
  EXPECT_EQ(CountClicks(script, "stop the first row"), 1);
  for (int row = 2; row <= 8; ++row) {
    const std::string what = "# stop row " + std::to_string(row) + "\n";
    const size_t at = script.find(what);
    ASSERT_NE(at, std::string::npos) << row;
    // A press without a move of the mouse, and no wait before it.
    int frame = 0;
    EXPECT_EQ(std::sscanf(script.c_str() + at + what.size(), "%d mouse down left", &frame), 1) << row;
    EXPECT_EQ(script.rfind(" idle\n", at), script.rfind(" idle\n", script.find("# stop the first row"))) << row;
  }
}

TEST_F(WalkthroughToolTest, FilesItCannotReadAreNamed) {
  Write("bad.txt", "layout Scene01 Art\\\nsprite S01_Knife 470\n");
  EXPECT_EQ(Run(HM_SOURCE_DIR "/content/App/Configs/GameInfo.xml " + kLayouts + "HUD.2dl " + kLayouts +
                "FrameSmall.2dl " + Path("bad.txt") + " -o " + Path("script.txt")),
            1);
  EXPECT_NE(m_run.errors.find(Path("bad.txt") + ":2: expected 'sprite NAME X Y W H'"), std::string::npos)
      << m_run.errors;
  EXPECT_EQ(Run(Path("missing.xml") + " " + kLayouts + "HUD.2dl " + kLayouts + "FrameSmall.2dl " + Path("bad.txt") +
                " -o " + Path("script.txt")),
            1);
  EXPECT_NE(m_run.errors.find("cannot read " + Path("missing.xml")), std::string::npos) << m_run.errors;
}

}  // namespace
