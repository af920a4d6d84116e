// The walkthrough tool over the story's own content: it plays the main story to its ending,
// entering every place and passing every search and puzzle, and its script clicks where the
// layouts put the pictures; a picture it cannot reach stops it, saying where.

#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

const std::string kLayouts = HM_SOURCE_DIR "/content/App/Layouts/";

class WalkthroughToolTest : public CToolTest {
 protected:
  WalkthroughToolTest() : CToolTest("walkthrough") {}

  // The main story's description (or the one given) with the story's layouts.
  int Plan(const std::string& description, const std::string& locations = ReadTextFile(kLayouts + "Locations.txt")) {
    Write("GameInfo.xml", description);
    Write("Locations.txt", locations);
    return Run(Path("GameInfo.xml") + " " + kLayouts + "HUD.2dl " + kLayouts + "FrameSmall.2dl " + Path("Locations.txt") +
               " " + kLayouts + "World.txt " + kLayouts + "HiddenObjects.txt " + kLayouts + "CloseUp.txt -o " +
               Path("script.txt") + " --saved " + Path("saved.txt"));
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

  // The knife at the gate (layout pixels 470, 610) is the first thing taken: its window point on
  // the 4:3 window, after the tutorial's question and an idle wait.
  const std::string script = Script();
  EXPECT_NE(script.find("# take S01_Knife\n1 mouse move 331 639\n8 mouse down left\n9 mouse up left\n12 idle\n"),
            std::string::npos)
      << script.substr(0, 600);
  // A puzzle is skipped once its skip button shows, a minute of frames of 0.05 s after it opened.
  EXPECT_NE(script.find("# skip puzzle 7\n1241 mouse move 896 557\n"), std::string::npos);
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
      {"the shed's door lies outside the window", "sprite S01_ExitShed    180 400",
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
