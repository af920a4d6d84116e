// The pipes puzzle drawn from the content the build makes, on the 64 x 64 test screen (a
// layout unit is 32 pixels there): the layout binds the whole board with the pieces the game's
// solution expects, the brass pieces stand out from the dark board, a piece that is turned
// looks turned, and a piece full of liquid shows red.

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Src/MiniGames/Vey_MiniGame7.h"
#include "tests/Src/Investigation/BuiltContentKit.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using namespace Vey;

namespace {

constexpr char kShippedKinds[] = "LTITILITITLLLTILLLLLLXLLLLLTTLLLLIIITLLLLTLLLLITLTLTLLIITTL";
constexpr float kFrame = 0.02f;

class MiniGame7DrawTest : public overlaytest::CBuiltContentFixture {
 protected:
  void SetUp() override {
    CBuiltContentFixture::SetUp();
    LoadContent("App/Configs/MiniGame7_Resources.xml");
    m_layout = Layout("Game07");
  }

  // A frame of the puzzle over a black screen.
  std::vector<uint8_t> Draw(CMiniGame7& game) {
    BeginFrame(0xFF000000);
    AlphaBlendOn();
    game.Render();
    return EndFrame();
  }
  // The pixel block of a cell (its piece is a few pixels wide here; 8 virtual units a pixel).
  static std::array<int, 4> CellBlock(const CMiniGame7& game, int32_t cell) {
    const Vector2 place = ToVirtualScreen(game.GetCell(cell).pipeNode->position);
    const int x = int((place.x - 1792.0f) / 8.0f), y = int((place.y - 1792.0f) / 8.0f);
    return {x - 3, y - 3, x + 3, y + 3};
  }
  template <class TTest>
  static int CountPixels(const std::vector<uint8_t>& frame, const std::array<int, 4>& block, TTest test) {
    int count = 0;
    for (int y = block[1]; y < block[3]; ++y)
      for (int x = block[0]; x < block[2]; ++x) count += test(Pixel(frame, kSize, x, y));
    return count;
  }
  static bool Brass(const rendertest::SRgba& p) { return p.r > 120 && p.g > 80 && p.b < p.r - 40; }
  static bool Liquid(const rendertest::SRgba& p) { return p.r > 120 && p.g < 60 && p.b < 80; }

  // A frame as the location runs it, the mouse at a layout point.
  void Step(CMiniGame7& game, Vector2 point, bool down) {
    const Vector2 screen = ToVirtualScreen(point);
    overlaytest::SetMouse({screen.x, screen.y, down, m_down});
    m_down = down;
    game.ReadInput(kFrame);
    game.Update(kFrame);
  }
  void Wait(CMiniGame7& game, float seconds) {
    for (float t = 0.0f; t < seconds; t += kFrame) Step(game, {0.0f, 0.95f}, false);
  }
  void Click(CMiniGame7& game, Vector2 point) {
    Step(game, point, true);
    Step(game, point, false);
  }

  Ombrel::CLayout2D* m_layout = nullptr;
  bool m_down = false;
};

TEST_F(MiniGame7DrawTest, ThePiecesReadAsBrassOnTheBoardTurnVisiblyAndFillRed) {
  ASSERT_NE(m_layout, nullptr) << hmtest::CReportScope::All();
  CMiniGame7 game(m_layout, SMiniGameShared{}, {}, 3);
  ASSERT_TRUE(game.IsBoardBound()) << hmtest::CReportScope::All();
  for (int32_t cell = 0; cell < kPipeCellCount; ++cell)
    EXPECT_EQ(game.GetCell(cell).kind, std::string("ILTX").find(kShippedKinds[cell])) << "cell " << cell;
  game.Open();
  Wait(game, 0.6f);
  ASSERT_EQ(game.GetState(), CMiniGameBase::kPlaying);

  const std::vector<uint8_t> board = Draw(game);
  int brassCells = 0;
  for (int32_t cell = 0; cell < kPipeCellCount; ++cell) brassCells += CountPixels(board, CellBlock(game, cell), Brass) >= 1;
  // A piece is about three pixels wide here: a few fall between the pixels.
  EXPECT_GE(brassCells, kPipeCellCount - 9) << "the pieces show their brass";
  // The reservoir beside the board is full from the start; the pieces hold none yet.
  int liquidInPieces = 0;
  for (int32_t cell = 0; cell < kPipeCellCount; ++cell) liquidInPieces += CountPixels(board, CellBlock(game, cell), Liquid);
  EXPECT_EQ(liquidInPieces, 0) << "no liquid before the button";

  // A quarter turn of a straight piece changes its block.
  const int32_t straight = int32_t(std::string(kShippedKinds).find('I'));
  const Vector2 place = game.GetCell(straight).pipeNode->position;
  Click(game, place);
  Wait(game, 0.3f);
  EXPECT_NE(Draw(game), board);

  // The first piece turned towards the source fills red once the reservoir lets it in.
  while (game.GetCell(kSourceCell).rotation != 0) {
    Click(game, game.GetCell(kSourceCell).pipeNode->position);
    Wait(game, 0.3f);
  }
  Wait(game, 10.1f);
  const Ombrel::SLayoutBox* button = m_layout->FindItem("root/ButtonDummy") ? static_cast<Ombrel::SLayoutBox*>(
                                                                                   m_layout->FindItem("root/ButtonDummy"))
                                                                             : nullptr;
  ASSERT_NE(button, nullptr);
  Click(game, button->position);
  ASSERT_TRUE(game.IsWaterRunning());
  while (game.GetCell(kSourceCell).fill < 0.99f) Step(game, {0.0f, 0.95f}, false);
  const std::vector<uint8_t> filled = Draw(game);
  EXPECT_GE(CountPixels(filled, CellBlock(game, kSourceCell), Liquid), 4) << "the liquid reads red";
}

}  // namespace
