// The gears and balls puzzles drawn on the 64 x 64 device and read back: a wheel turned by its
// switch with its glow fading, balls that show once the board is ready and are drawn where they
// rolled, and the frozen picture a puzzle is asked for in its update taken in the next frame. The puzzles run without a heads-up display, world or sounds (all may be null).

#include "Src/MiniGames/Vey_MiniGame5.h"
#include "Src/MiniGames/Vey_MiniGame6.h"

#include <gtest/gtest.h>

#include "Src/World/Vey_SaveData.h"
#include "tests/Src/Investigation/OverlayTestKit.h"
#include "tests/support/engine/ReportScope.h"

#include <memory>
#include <vector>

using namespace Vey;
using overlaytest::AddPicture;
using overlaytest::kGrey;
using rendertest::SRgba;

namespace {

constexpr SRgba kBlue{0, 0, 255, 255};
constexpr SRgba kYellow{255, 255, 0, 255};
constexpr SRgba kRed{255, 0, 0, 255};
constexpr float kFrame = 0.05f;

class MiniGameDrawTest : public overlaytest::COverlayDrawFixture {
 protected:
  void SetUp() override {
    COverlayDrawFixture::SetUp();
    m_save = std::make_unique<SSaveData>();
    m_save->current = 0;
  }

  SMiniGameShared Shared() {
    SMiniGameShared shared;
    shared.save = m_save.get();
    shared.switchMusic = [](int32_t) {};
    return shared;
  }

  static void Run(CMiniGameBase& game, float seconds) {
    for (float t = 0.0f; t < seconds - 0.001f; t += kFrame) game.Update(kFrame);
  }

  std::unique_ptr<SSaveData> m_save;
};

// Pixels (y down): one layout unit is 32 pixels about the centre (32, 32).
TEST_F(MiniGameDrawTest, AWheelTurnsHalfWayUpRightAsItsGlowFadesAndEndsDark) {
  // Wheel 1 (on at the start) as a flat blue bar, 32 x 8 pixels, so that its turn shows.
  AddPicture(m_layout, "root/Gear01", {0.0f, 0.0f}, {1.0f, 0.25f}, SolidTexture("gear", kBlue));
  AddPicture(m_layout, "root/GearActivated", {0.0f, 0.0f}, {0.25f, 0.25f}, SolidTexture("glow", kYellow), false);
  CMiniGame6 game(Shared(), &m_layout);
  game.Open();
  Run(game, 0.5f);
  ASSERT_EQ(game.GetState(), CMiniGameBase::kPlaying);

  const std::vector<uint8_t> on = DrawFrame(game);
  EXPECT_EQ(Pixel(on, kSize, 32, 32), kYellow) << "the glow lies fully over a wheel that is on";
  EXPECT_EQ(Pixel(on, kSize, 44, 32), kYellow) << "turned by a half circle, the bar lies flat";
  EXPECT_EQ(Pixel(on, kSize, 32, 22), kGrey);

  game.ToggleSwitch(0);  // the first column's switch turns wheel 1 off
  Run(game, 0.25f);
  const std::vector<uint8_t> halfWay = DrawFrame(game);
  const SRgba upRight = Pixel(halfWay, kSize, 32, 22);
  EXPECT_NEAR(upRight.r, 128, 10) << "a quarter turn stands the bar up, its glow half faded";
  EXPECT_NEAR(upRight.b, 128, 10);
  EXPECT_EQ(Pixel(halfWay, kSize, 44, 32), kGrey);

  Run(game, 0.3f);
  const std::vector<uint8_t> off = DrawFrame(game);
  EXPECT_EQ(Pixel(off, kSize, 32, 32), kBlue);
  EXPECT_EQ(Pixel(off, kSize, 44, 32), kBlue);
}

TEST_F(MiniGameDrawTest, BallsShowOnceTheBoardIsReadyAndAreDrawnWhereTheyRolled) {
  char name[32];
  for (int row = 0; row < CMiniGame5::kBoardSide; ++row) {
    for (int column = 0; column < CMiniGame5::kBoardSide; ++column) {
      std::snprintf(name, sizeof(name), "root/Dummy%d", 10 * (row + 1) + column + 1);
      auto cell = std::make_unique<Ombrel::SLayoutBox>(Ombrel::kLayoutDummy);  // a place, drawn as nothing
      cell->name = name;
      cell->visible = true;
      cell->position = {-0.6f + 0.2f * float(column), 0.6f - 0.2f * float(row)};
      cell->size = {0.2f, 0.2f};
      cell->index = int32_t(m_layout.GetCount());
      m_layout.AddItem(std::move(cell));
    }
  }
  // Ball 1 (red) at row 3, column 0, pixel (13, 32); ball 2 (blue) at column 3, pixel (32, 32).
  AddPicture(m_layout, "root/Ball1", {-0.6f, 0.0f}, {0.15f, 0.15f}, SolidTexture("ball1", kRed));
  AddPicture(m_layout, "root/Ball2", {0.0f, 0.0f}, {0.15f, 0.15f}, SolidTexture("ball2", kBlue));
  CMiniGame5 game(Shared(), &m_layout, CMiniGame5::SPools{});
  game.Open();
  Run(game, 0.7f);  // playing, the board a fifth of the way to ready
  ASSERT_EQ(game.GetState(), CMiniGameBase::kPlaying);
  EXPECT_EQ(Pixel(DrawFrame(game), kSize, 13, 32), kGrey) << "the balls wait for the board";

  Run(game, 1.8f);
  ASSERT_GE(game.GetReadyTime(), 1.0f);
  const std::vector<uint8_t> ready = DrawFrame(game);
  EXPECT_EQ(Pixel(ready, kSize, 13, 32), kRed);
  EXPECT_EQ(Pixel(ready, kSize, 32, 32), kBlue);

  game.Roll(0, CMiniGame5::kRight, false);  // ball 1 stops before ball 2 and knocks it off the edge
  Run(game, 2.0f);
  const std::vector<uint8_t> rolled = DrawFrame(game);
  EXPECT_EQ(Pixel(rolled, kSize, 13, 32), kGrey);
  EXPECT_EQ(Pixel(rolled, kSize, 26, 32), kRed);
  EXPECT_EQ(Pixel(rolled, kSize, 32, 32), kGrey);
  EXPECT_EQ(Pixel(rolled, kSize, 51, 32), kGrey) << "the knocked-out ball is gone";
}

// The help button's press and the arcade's coin ask for the frozen picture in the puzzle's update,
// where nothing can be drawn: the puzzle takes it in its next drawing, whole, and no draw fails.
TEST_F(MiniGameDrawTest, AFrozenPictureAskedForInTheUpdateIsTakenInTheNextFrame) {
  AddPicture(m_layout, "root/Gear01", {0.0f, 0.0f}, {1.0f, 0.25f}, SolidTexture("gear", kBlue));
  std::vector<uint8_t> captured;
  SMiniGameShared shared = Shared();
  shared.copyBackBuffer = [&] {
    uint32_t width = 0, height = 0;
    EXPECT_EQ(m_device->ReadBackBuffer(captured, &width, &height), GFX_OK);
  };
  CMiniGame6 game(shared, &m_layout);
  game.Open();
  Run(game, 0.5f);
  ASSERT_EQ(game.GetState(), CMiniGameBase::kPlaying);
  hmtest::CReportScope reports;
  game.CaptureBackground();
  EXPECT_TRUE(captured.empty()) << "nothing taken outside a frame";
  const std::vector<uint8_t> shown = DrawFrame(game);
  ASSERT_FALSE(captured.empty());
  EXPECT_EQ(Pixel(captured, kSize, 20, 32), kBlue) << "the puzzle, drawn whole into the picture";
  EXPECT_EQ(Pixel(captured, kSize, 20, 32), Pixel(shown, kSize, 20, 32));
  EXPECT_FALSE(game.IsCapturePending());
  EXPECT_EQ(hmtest::CReportScope::All(), "");
}

}  // namespace
