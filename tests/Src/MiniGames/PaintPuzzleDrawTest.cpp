// The paint colour puzzle drawn from the content the build makes: its opening picture shows
// the bare mosaic, the pieces the profile has painted in their paint, and the four pots.

#include "Src/Game/Vey_SaveData.h"
#include "Src/MiniGames/Vey_MiniGame4.h"
#include "tests/Src/Investigation/BuiltContentKit.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Vey;

namespace {

class PaintPuzzleDrawTest : public overlaytest::CBuiltContentFixture {};

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
  LoadContent("App/Configs/MiniGame4_Resources.xml");
  Ombrel::CLayout2D* layout = Layout("Game04");
  ASSERT_NE(layout, nullptr) << hmtest::CReportScope::All();
  auto save = std::make_unique<SSaveData>();
  save->current = 0;
  SSaveData::ResetProfile(save->profiles[0]);
  save->profiles[0].miniGames.words124[2 + 0] = CMiniGame4::kRed;    // piece 1
  save->profiles[0].miniGames.words124[2 + 11] = CMiniGame4::kBlue;  // piece 12
  SMiniGameShared shared;
  shared.save = save.get();
  shared.switchMusic = [](int32_t) {};
  CMiniGame4 game(layout, shared, nullptr, nullptr);
  EXPECT_EQ(OwnReports(), "") << "every piece has its picture and mask";
  game.Open();
  for (int i = 0; i < 30 && game.GetState() == CMiniGameBase::kOpening; ++i) game.Update(0.02f);
  ASSERT_EQ(game.GetState(), CMiniGameBase::kPlaying);

  const std::vector<uint8_t> frame = DrawFrame(game);
  // The square view shows the mosaic's 720 pixels across; 64 pixels here for 720 there.
  struct SSpot {
    const char* what;
    int x, y;
    char paint;
  } spots[] = {
      {"piece 1, red", 3, 12, 'r'},    {"piece 12, blue", 10, 18, 'b'}, {"piece 35, bare", 29, 31, 'c'},
      {"the red pot", 16, 56, 'r'},    {"the blue pot", 27, 56, 'b'},   {"the green pot", 37, 56, 'g'},
      {"the yellow pot", 48, 56, 'y'},
  };
  for (const SSpot& spot : spots) {
    const rendertest::SRgba p = Pixel(frame, kSize, spot.x, spot.y);
    EXPECT_EQ(PaintOf(p), spot.paint) << spot.what << ": " << int(p.r) << ", " << int(p.g) << ", " << int(p.b);
  }
}

}  // namespace
