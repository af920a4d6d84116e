// The paint colour puzzle on the content the build makes: its opening picture shows the bare
// mosaic, the pieces the profile has painted in their paint, and the four pots; each piece's
// mask tells it apart from the neighbours its square overlaps.

#include "Src/World/Vey_SaveData.h"
#include "Src/MiniGames/Vey_MiniGame4.h"
#include "tests/Src/Investigation/BuiltContentKit.h"
#include "tests/Src/MiniGames/PaintPuzzleKit.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Vey;

namespace {

class PaintPuzzleDrawTest : public overlaytest::CBuiltContentFixture {
 protected:
  // The puzzle on the built layout over a profile of its own, opened and through its fade.
  std::unique_ptr<CMiniGame4> OpenedPuzzle() {
    LoadContent("App/Configs/MiniGame4_Resources.xml");
    m_puzzleLayout = Layout("Game04");
    EXPECT_NE(m_puzzleLayout, nullptr) << hmtest::CReportScope::All();
    m_save->current = 0;
    SSaveData::ResetProfile(m_save->profiles[0]);
    SMiniGameShared shared;
    shared.save = m_save.get();
    shared.switchMusic = [](int32_t) {};
    auto game = std::make_unique<CMiniGame4>(m_puzzleLayout, shared);
    EXPECT_EQ(OwnReports(), "") << "every piece has its picture and mask";
    game->Open();
    for (int i = 0; i < 30 && game->GetState() == CMiniGameBase::kOpening; ++i) game->Update(0.02f);
    EXPECT_EQ(game->GetState(), CMiniGameBase::kPlaying);
    return game;
  }
  // A press and a release at the middle of a layout picture.
  void ClickOn(CMiniGame4& game, const char* node) {
    const auto* box = dynamic_cast<const Ombrel::SLayoutBox*>(m_puzzleLayout->FindItem(node));
    ASSERT_NE(box, nullptr) << node;
    const Vector2 point = ToVirtualScreen(box->position);
    for (bool down : {true, false}) {
      overlaytest::SetMouse({point.x, point.y, down, !down});
      game.ReadInput(0.02f);
      game.Update(0.02f);
    }
  }

  std::unique_ptr<SSaveData> m_save = std::make_unique<SSaveData>();
  Ombrel::CLayout2D* m_puzzleLayout = nullptr;
};

// Which paint a pixel shows, if any; 'c' for the bare canvas, '-' for anything else.
char PaintOf(const rendertest::SRgba& p) {
  const int r = p.r, g = p.g, b = p.b;
  if (r > g + 80 && r > b + 80) return 'r';
  if (b > r + 80 && b > g + 60) return 'b';
  if (g > r + 60 && g > b + 60) return 'g';
  if (r > 150 && g > 150 && b + 100 < r) return 'y';
  if (r > 170 && g > 160 && b > 130) return 'c';
  return '-';
}

TEST_F(PaintPuzzleDrawTest, TheOpeningPictureShowsThePaintedPiecesAndThePots) {
  std::unique_ptr<CMiniGame4> puzzle = OpenedPuzzle();
  ASSERT_TRUE(puzzle);
  CMiniGame4& game = *puzzle;
  ClickOn(game, "root/RedDummy");
  ClickOn(game, "root/26");
  ClickOn(game, "root/BlueDummy");
  ClickOn(game, "root/12");
  const std::vector<uint8_t> frame = DrawFrame(game);
  struct SSpot {
    const char* what;
    const char* node;  // sampled at its middle
    char paint;
  } spots[] = {
      {"piece 26, red", "root/26", 'r'},       {"piece 12, blue", "root/12", 'b'},
      {"piece 49, bare", "root/49", 'c'},      {"the red pot", "root/RedDummy", 'r'},
      {"the blue pot", "root/BlueDummy", 'b'}, {"the green pot", "root/GreenDummy", 'g'},
      {"the yellow pot", "root/YellowDummy", 'y'},
  };
  for (const SSpot& spot : spots) {
    const auto* box = dynamic_cast<const Ombrel::SLayoutBox*>(m_puzzleLayout->FindItem(spot.node));
    ASSERT_NE(box, nullptr) << spot.node;
    // The square view shows the 720 pixels of the screen's middle across (layout x from -1 to
    // 1) and its full height (y from 1 to -1), in 64 pixels.
    const int x = int((box->position.x + 1.0f) * 32.0f), y = int((1.0f - box->position.y) * 32.0f);
    const rendertest::SRgba p = Pixel(frame, kSize, x, y);
    EXPECT_EQ(PaintOf(p), spot.paint) << spot.what << ": " << int(p.r) << ", " << int(p.g) << ", " << int(p.b);
  }
}

TEST_F(PaintPuzzleDrawTest, EveryPieceIsHitAtItsMiddleThoughItsSquareOverlapsItsNeighbours) {
  std::unique_ptr<CMiniGame4> puzzle = OpenedPuzzle();
  ASSERT_TRUE(puzzle);
  const char* pots[] = {"root/RedDummy", "root/BlueDummy", "root/GreenDummy", "root/YellowDummy"};
  for (int piece = 1; piece <= CMiniGame4::kRegionCount; ++piece) {
    const uint32_t colour = uint32_t(painttest::kSolution[piece - 1] - '0');
    ClickOn(*puzzle, pots[colour]);
    ClickOn(*puzzle, ("root/" + std::to_string(piece)).c_str());
    if (piece < CMiniGame4::kRegionCount) {
      ASSERT_EQ(puzzle->GetRegionColour(piece), colour) << piece;
    }
  }
  EXPECT_EQ(puzzle->GetState(), CMiniGameBase::kClosing) << "solved";
}

}  // namespace
