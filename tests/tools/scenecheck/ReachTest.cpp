// What a player must click lies on the screen of every shape, off the display and not under
// another thing to click; each offender is named with its layout, object and shape.

#include "tools/scenecheck/Reach.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace Reach;

SLayoutObject Box(float x, float y, float w, float h) {
  SLayoutObject object;
  object.type = "Sprite2D";
  object.visible = true;
  object.box = {x - w / 2, y - h / 2, x + w / 2, y + h / 2};
  return object;
}

// A display with a bar of each shape along the bottom and the book in the middle above it.
LayoutObjects Hud() {
  LayoutObjects hud;
  for (const SShape& shape : kShapes)
    hud[std::string("root/HUD") + shape.name + "/hudBar"] = Box(0, -0.88f, 2 * shape.aspect, 0.28f);
  hud["root/Diary/DiaryAnim1"] = Box(0, -0.8f, 0.3f, 0.3f);
  hud["root/Outline0"] = Box(-1, -0.45f, 0.36f, 0.13f);  // help, over puzzles only
  return hud;
}

std::vector<std::string> Check(const LayoutObjects& layout, const std::vector<SClickGroup>& groups,
                               EPlace place = EPlace::Puzzle) {
  std::vector<std::string> problems;
  CheckReach("Game02.2dl", layout, groups, Hud(), place, [&](const std::string& text) { problems.push_back(text); });
  return problems;
}

bool Names(const std::vector<std::string>& problems, const std::string& text) {
  for (const std::string& problem : problems)
    if (problem.find(text) != std::string::npos) return true;
  return false;
}

TEST(ReachTest, APieceInTheOpenPasses) {
  LayoutObjects layout;
  layout["root/Key/key_01"] = Box(0.5f, 0.2f, 0.18f, 0.18f);
  layout["root/Key/key_02"] = Box(0.7f, 0.2f, 0.18f, 0.18f);  // touching its neighbour: one group
  layout["root/Exit1"] = Box(1.15f, 0.75f, 0.18f, 0.18f);
  EXPECT_TRUE(Check(layout, {SClickGroup("root/Key/"), WholeName("root/Exit1")}).empty());
}

TEST(ReachTest, EachOffenderIsNamedWithItsLayoutObjectAndShape) {
  struct SCase {
    const char* what;
    SLayoutObject piece;
    const char* problem;
  };
  const SCase kCases[] = {
      {"under the bar", Box(-0.5f, -0.7f, 0.18f, 0.18f),
       "Game02.2dl at 4:3: \"root/Key/key_07\" (-0.590..-0.410, -0.790..-0.610) lies under the display's "
       "\"root/HUD4:3/hudBar\""},
      {"under the book", Box(0, -0.6f, 0.18f, 0.18f), "lies under the display's \"root/Diary/DiaryAnim1\""},
      {"under the help button", Box(-1, -0.4f, 0.18f, 0.18f), "lies under the display's \"root/Outline0\""},
      // Seen at 16:9 but cut off at 4:3 and 5:4.
      {"off a narrow screen", Box(1.4f, 0, 0.18f, 0.18f), "Game02.2dl at 5:4: \"root/Key/key_07\""},
      {"under the way back", Box(1.1f, 0.7f, 0.18f, 0.18f),
       "Game02.2dl: \"root/Key/key_07\" and \"root/Exit1\" overlap"},
  };
  for (const SCase& c : kCases) {
    SCOPED_TRACE(c.what);
    LayoutObjects layout;
    layout["root/Key/key_07"] = c.piece;
    layout["root/Exit1"] = Box(1.15f, 0.75f, 0.18f, 0.18f);
    const auto problems = Check(layout, {SClickGroup("root/Key/"), WholeName("root/Exit1")});
    EXPECT_TRUE(Names(problems, c.problem)) << (problems.empty() ? "no problem" : problems.front());
  }
  // Off a 4:3 screen it is off a 5:4 one too, but a 16:10 one shows it.
  LayoutObjects layout;
  layout["root/Key/key_07"] = Box(1.4f, 0, 0.18f, 0.18f);
  const auto problems = Check(layout, {SClickGroup("root/Key/")});
  EXPECT_TRUE(Names(problems, "at 4:3: \"root/Key/key_07\" (1.310..1.490, -0.090..0.090) is not wholly on the screen"));
  EXPECT_FALSE(Names(problems, "at 16:10"));
}

// A location shows no help or skip button; a thing to click the layout lacks is named; a name given
// twice is one thing; gears may sit on their axles when both are of one family.
TEST(ReachTest, PlacesFamiliesAndMissingObjects) {
  LayoutObjects layout;
  layout["S01_Exit"] = Box(-1, -0.4f, 0.18f, 0.18f);  // where a puzzle's help button would be
  EXPECT_TRUE(Check(layout, {WholeName("S01_Exit"), WholeName("S01_Exit")}, EPlace::Location).empty());
  EXPECT_EQ(Check(layout, {WholeName("S01_Exit")}, EPlace::Puzzle).size(), 4u);  // one per shape
  EXPECT_EQ(Check(layout, {WholeName("S01_Ex")}, EPlace::Location),
            std::vector<std::string>{"Game02.2dl: no object \"S01_Ex\" to click"});

  layout.clear();
  layout["root/Gears/GearA"] = Box(0, 0.3f, 0.3f, 0.3f);
  layout["root/Axes/Axis1"] = Box(0, 0.3f, 0.1f, 0.1f);
  EXPECT_TRUE(Check(layout, {SClickGroup("root/Gears/", false, "board"), SClickGroup("root/Axes/", false, "board")})
                  .empty());
  EXPECT_EQ(Check(layout, {SClickGroup("root/Gears/"), SClickGroup("root/Axes/")}).size(), 1u);
}

}  // namespace
