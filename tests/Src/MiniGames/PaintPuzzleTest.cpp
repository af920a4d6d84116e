// The paint colour puzzle played through its layout: paints taken from the pots, pieces painted
// under the rule that touching pieces differ, the picture kept in the profile, and the win.

#include "Src/MiniGames/Vey_MiniGame4.h"

#include <gtest/gtest.h>

#include "tests/Quor/VfsTestKit.h"
#include "tests/Src/MiniGames/MiniGameTestKit.h"

#include <memory>
#include <string>

using namespace Vey;
using namespace minigametest;

namespace {

constexpr Vector2 kExit{1.3f, 0.9f};
const Vector2 kPots[CMiniGame4::kPaintCount] = {{-0.45f, -0.5f}, {-0.15f, -0.5f}, {0.15f, -0.5f}, {0.45f, -0.5f}};
// A four-colouring of the pieces' neighbours, piece 1 first.
const char kSolution[] = "001011201321201030130101032000101010202012011012202103021002";

// Piece 1..60 on a grid of ten columns, 0.2 layout units apart.
Vector2 PiecePoint(int piece) { return {-0.9f + 0.2f * float((piece - 1) % 10), 0.7f - 0.2f * float((piece - 1) / 10)}; }

class PaintPuzzleTest : public CMiniGameFixture {
 protected:
  void SetUp() override {
    CMiniGameFixture::SetUp();
    SSaveData::ResetProfile(Profile());
    Profile().miniGame = kNoMiniGame;
    for (int piece = 1; piece <= CMiniGame4::kRegionCount; ++piece) {
      AddPicture(m_layout, ("root/" + std::to_string(piece)).c_str(), PiecePoint(piece), {0.2f, 0.2f}, nullptr, false);
      WriteMask(piece, {1, 1, 1, 1});
    }
    const char* pots[] = {"root/RedDummy", "root/BlueDummy", "root/GreenDummy", "root/YellowDummy"};
    for (int paint = 0; paint < CMiniGame4::kPaintCount; ++paint) AddPicture(m_layout, pots[paint], kPots[paint], {0.15f, 0.15f});
    AddPicture(m_layout, CMiniGameBase::kExitNode, kExit, {0.1f, 0.1f});
    LoadWorld(3, "");
    g_pVFS = m_masks.get();
  }
  void TearDown() override {
    m_game.reset();
    g_pVFS = nullptr;
    CMiniGameFixture::TearDown();
  }

  // A 2 x 2 mask, rows from the top.
  void WriteMask(int piece, const vfstest::Bytes& pixels) {
    const std::string base = m_folder + "/Art/Environments/Game04/Textures/Temp/" + std::to_string(piece);
    vfstest::WriteBytes(base + ".raw", pixels);
    vfstest::WriteBytes(base + ".tif", vfstest::Text("<tiff:ImageWidth>2</tiff:ImageWidth><tiff:ImageLength>2<"));
  }
  CMiniGame4& Build() {
    m_game = std::make_unique<CMiniGame4>(&m_layout, Shared(), [this] { return &m_closeUp; }, nullptr);
    return *m_game;
  }
  CMiniGame4& Opened() {
    Build();
    Open(*m_game);
    EXPECT_EQ(m_game->GetState(), CMiniGameBase::kPlaying);
    Wait(*m_game, 0.1f);  // the intro dialog comes with the first frame of play
    m_dialog->CloseAtOnce();
    return *m_game;
  }
  void Paint(int piece, uint32_t colour) {
    ClickAt(*m_game, kPots[colour]);
    ClickAt(*m_game, PiecePoint(piece));
  }
  uint32_t SavedColour(int piece) { return Profile().miniGames.words124[1 + piece]; }
  const Ombrel::SLayoutItem& Node(int piece) { return *m_layout.FindItem(("root/" + std::to_string(piece)).c_str()); }

  std::string m_folder = vfstest::MakeTempFolder();
  vfstest::ArchiveFlag m_plain{false};
  std::unique_ptr<CVFS> m_masks = std::make_unique<CVFS>(m_folder.c_str());
  Ombrel::CLayout2D m_closeUp;
  std::unique_ptr<CMiniGame4> m_game;
};

TEST_F(PaintPuzzleTest, PaintingEveryPieceUnderTheRuleSolvesThePuzzleAndOpensTheBox) {
  AddPicture(m_closeUp, "root/Box_open", {0, 0}, {0.1f, 0.1f}, nullptr, false);
  AddPicture(m_closeUp, "root/brokenstamp_01", {0, 0}, {0.1f, 0.1f});
  CMiniGame4& game = Opened();
  for (int piece = 1; piece <= 60; ++piece) {
    const uint32_t colour = uint32_t(kSolution[piece - 1] - '0');
    if (piece < 60) {
      Paint(piece, colour);
      ASSERT_EQ(game.GetRegionColour(piece), colour) << piece;
      ASSERT_EQ(SavedColour(piece), colour) << piece;
      ASSERT_TRUE(Node(piece).visible) << piece;
      ASSERT_EQ(game.GetState(), CMiniGameBase::kPlaying) << "solved with piece " << piece << " left";
    } else {
      Paint(piece, colour);
    }
  }
  EXPECT_TRUE(game.AllRegionsPainted());
  EXPECT_EQ(game.GetState(), CMiniGameBase::kClosing);
  EXPECT_EQ(game.GetSelectedColour(), CMiniGame4::kNoPaint) << "the paint is put away";
  EXPECT_TRUE(m_closeUp.FindItem("root/Box_open")->visible);
  EXPECT_FALSE(m_closeUp.FindItem("root/brokenstamp_01")->visible);
  Wait(game, 1.0f);
  EXPECT_FALSE(game.IsActive());
  EXPECT_EQ(Profile().miniGame, kNoMiniGame);
}


}  // namespace
