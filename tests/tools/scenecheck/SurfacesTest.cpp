// Where a search room's pictures stand: on a declared shelf, table or floor line, or hanging from
// a rail, read from the layout description's "surface" lines.

#include "tools/scenecheck/Surfaces.h"

#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace Surfaces;

// A 20 x 20 layer at (left, top) whose own pixels are the rows from `firstRow` to `lastRow` of
// the columns 5 to 14; below them a soft shadow's row of values under the solid threshold.
Cover::SLayer Piece(int left, int top, int firstRow = 0, int lastRow = 15) {
  Cover::SLayer layer;
  layer.name = "Piece";
  layer.left = left;
  layer.top = top;
  layer.width = layer.height = 20;
  layer.mask.assign(400, 0);
  for (int y = firstRow; y <= lastRow; ++y)
    for (int x = 5; x < 15; ++x) layer.mask[size_t(y) * 20 + size_t(x)] = 255;
  if (lastRow + 1 < 20)
    for (int x = 0; x < 20; ++x) layer.mask[size_t(lastRow + 1) * 20 + size_t(x)] = 100;
  return layer;
}

TEST(SurfacesTest, APieceRestsOnAStandingLineOrHangsFromARailAndNothingElse) {
  const std::vector<SSurface> room = {
      {100, 300, 200, 3, false},  // a shelf
      {100, 300, 400, 80, false},  // the floor, 80 pixels deep
      {500, 700, 100, 0, true},    // a rail
  };
  struct SCase {
    const char* what;
    Cover::SLayer piece;
    bool rests;
  };
  const SCase kCases[] = {
      {"its lowest own pixel on the shelf", Piece(150, 185), true},
      {"on the shelf's front edge, within the tolerance", Piece(150, 185 + 3 + kTolerance), true},
      {"floating above the shelf", Piece(150, 185 - kTolerance - 1), false},
      {"sunk below the shelf's front edge", Piece(150, 185 + 3 + kTolerance + 1), false},
      {"its middle beyond the shelf's end", Piece(300 - 9 + 1, 185), false},
      {"anywhere in the floor's depth", Piece(150, 385 + 60), true},
      {"its top on the rail", Piece(590, 100), true},
      {"its top under the rail", Piece(590, 100 + kTolerance + 1), false},
      {"its foot on the rail: a rail holds up nothing", Piece(590, 85), false},
  };
  for (const SCase& c : kCases) EXPECT_EQ(Unsupported(c.piece, room).empty(), c.rests) << c.what;
  const std::string why = Unsupported(Piece(150, 100), room);
  EXPECT_NE(why.find("foot (x 159, y 115)"), std::string::npos) << why;
  EXPECT_NE(why.find("top (x 159, y 100)"), std::string::npos) << why;
}

class SurfacesDescriptionTest : public CToolTest {
 protected:
  SurfacesDescriptionTest() : CToolTest("scenecheck") {}
  bool Read(const std::string& text, std::vector<SRoom>* rooms, std::string* error) {
    Write("Rooms.txt", text);
    return ReadRooms(Path("Rooms.txt"), rooms, error);
  }
};

TEST_F(SurfacesDescriptionTest, EachLayoutKeepsItsOwnSurfacesAndOnlyLayoutsWithSomeAreRooms) {
  std::vector<SRoom> rooms;
  std::string error;
  ASSERT_TRUE(Read("pictures ../Art\n"
                   "layout Scene01 Art\\A\\\n"
                   "sprite Thing 10 10 4 4 A.art\n"
                   "layout Scene02 Art\\B\\\n"
                   "surface 10 90 200 3\n"
                   "# surface 1 2 3 4\n"
                   "surface 20 80 50 hang\n",
                   &rooms, &error))
      << error;
  ASSERT_EQ(rooms.size(), 1u);
  EXPECT_EQ(rooms[0].layout, "Scene02");
  ASSERT_EQ(rooms[0].surfaces.size(), 2u);
  EXPECT_EQ(rooms[0].surfaces[0].depth, 3);
  EXPECT_FALSE(rooms[0].surfaces[0].hang);
  EXPECT_EQ(rooms[0].surfaces[1].y, 50);
  EXPECT_TRUE(rooms[0].surfaces[1].hang);
}

TEST_F(SurfacesDescriptionTest, ABadSurfaceIsNamedByItsLine) {
  const struct {
    const char* text;
    const char* said;
  } kCases[] = {
      {"surface 1 2 3 4\n", ":1: a surface before any layout"},
      {"layout S F\nsurface 90 10 200 3\n", ":2: expected"},
      {"layout S F\nsurface 10 90 200\n", ":2: expected"},
      {"layout S F\nsurface 10 90 200 deep\n", ":2: expected"},
      {"layout S F\nsurface 10 90 200 -3\n", ":2: expected"},
  };
  for (const auto& c : kCases) {
    std::vector<SRoom> rooms;
    std::string error;
    EXPECT_FALSE(Read(c.text, &rooms, &error)) << c.text;
    EXPECT_NE(error.find(c.said), std::string::npos) << error;
  }
}

}  // namespace
