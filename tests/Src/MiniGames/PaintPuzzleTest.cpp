// The paint colour puzzle played through its layout: paints taken from the pots, pieces painted
// under the rule that touching pieces differ, the picture kept in the profile, and the win.

#include "Src/MiniGames/Vey_MiniGame4.h"

#include <gtest/gtest.h>

#include "tests/Quor/VfsTestKit.h"
#include "tests/Src/MiniGames/MiniGameTestKit.h"
#include "tests/Src/MiniGames/PaintPuzzleKit.h"

#include <memory>
#include <string>

using namespace Vey;
using namespace minigametest;

namespace {

constexpr Vector2 kPaintExit{1.3f, 0.9f};
const Vector2 kPots[CMiniGame4::kPaintCount] = {{-0.45f, -0.5f}, {-0.15f, -0.5f}, {0.15f, -0.5f}, {0.45f, -0.5f}};

// Piece 1..60 on a grid of ten columns, 0.2 layout units apart.
Vector2 PiecePoint(int piece) {
  return {-0.9f + 0.2f * float((piece - 1) % 10), 0.7f - 0.2f * float((piece - 1) / 10)};
}

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
    for (int paint = 0; paint < CMiniGame4::kPaintCount; ++paint)
      AddPicture(m_layout, pots[paint], kPots[paint], {0.15f, 0.15f});
    AddPicture(m_layout, CMiniGameBase::kExitNode, kPaintExit, {0.1f, 0.1f});
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
    m_game = std::make_unique<CMiniGame4>(&m_layout, Shared());
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
  // The close-up whose box the win opens, not loaded: the win loads it for the change.
  Ombrel::CLayout2D& m_closeUp = *(m_places.layouts["Intermediate05"] = std::make_unique<Ombrel::CLayout2D>());
  std::unique_ptr<CMiniGame4> m_game;
};

TEST_F(PaintPuzzleTest, PaintingEveryPieceUnderTheRuleSolvesThePuzzleAndOpensTheBox) {
  AddPicture(m_closeUp, "root/Box_open", {0, 0}, {0.1f, 0.1f}, nullptr, false);
  AddPicture(m_closeUp, "root/brokenstamp_01", {0, 0}, {0.1f, 0.1f});
  CMiniGame4& game = Opened();
  for (int piece = 1; piece <= 60; ++piece) {
    const uint32_t colour = uint32_t(painttest::kSolution[piece - 1] - '0');
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

// With no profile chosen the puzzle keeps its progress in a block of its own, which starts as a
// fresh profile's does: nothing painted and no paint in hand (an all-zero block would be a
// picture painted red all over, solved at once).
TEST_F(PaintPuzzleTest, WithoutAProfileThePictureStartsBlankAndKeepsItsPaintInItsOwnBlock) {
  m_save->current = kNoProfile;
  CMiniGame4& game = Opened();
  EXPECT_FALSE(game.AllRegionsPainted());
  EXPECT_EQ(game.GetRegionColour(1), CMiniGame4::kNoPaint);
  EXPECT_EQ(game.GetSelectedColour(), CMiniGame4::kNoPaint);
  const uint32_t colour = uint32_t(painttest::kSolution[0] - '0');
  Paint(1, colour);
  EXPECT_EQ(game.GetRegionColour(1), colour);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying);
}

TEST_F(PaintPuzzleTest, MovesAgainstTheRuleLeaveThePictureUnsolved) {
  WriteMask(2, {0, 1, 1, 1});  // the top left quarter is not piece 2's
  CMiniGame4& game = Opened();
  const Vector2 two = PiecePoint(2);
  struct SMove {
    const char* what;
    int pot;  // -1: no pot clicked first
    Vector2 point;
    int piece;  // whose colour is checked
    uint32_t colour;
    const char* note;  // "" for none
  } moves[] = {
      {"no paint in hand paints nothing", -1, PiecePoint(1), 1, CMiniGame4::kNoPaint, ""},
      {"red on piece 1", CMiniGame4::kRed, PiecePoint(1), 1, CMiniGame4::kRed, ""},
      {"red beside it is refused", CMiniGame4::kRed, PiecePoint(6), 6, CMiniGame4::kNoPaint, "G04_WrongColor_Note"},
      {"blue beside it is taken", CMiniGame4::kBlue, PiecePoint(6), 6, CMiniGame4::kBlue, ""},
      {"piece 1 cannot turn blue now", CMiniGame4::kBlue, PiecePoint(1), 1, CMiniGame4::kRed, "G04_WrongColor_Note"},
      {"but green", CMiniGame4::kGreen, PiecePoint(1), 1, CMiniGame4::kGreen, ""},
      {"a click off the piece's mask",
       CMiniGame4::kYellow,
       {two.x - 0.05f, two.y + 0.05f},
       2,
       CMiniGame4::kNoPaint,
       ""},
      {"and on it", CMiniGame4::kYellow, {two.x + 0.05f, two.y - 0.05f}, 2, CMiniGame4::kYellow, ""},
  };
  for (const SMove& move : moves) {
    Hud().ShowNote("");
    if (move.pot >= 0) ClickAt(game, kPots[move.pot]);
    ClickAt(game, move.point);
    EXPECT_EQ(game.GetRegionColour(move.piece), move.colour) << move.what;
    EXPECT_EQ(SavedColour(move.piece), move.colour) << move.what;
    EXPECT_EQ(Node(move.piece).visible, move.colour != CMiniGame4::kNoPaint) << move.what;
    EXPECT_STREQ(Hud().GetNoteKey(), move.note) << move.what;
  }
  EXPECT_EQ(static_cast<const Ombrel::SLayoutBox&>(Node(1)).colour, 0x80006000u) << "green's tint";
  EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying);
}

TEST_F(PaintPuzzleTest, ThePaintInHandIsTheCursorAndTheExitPutsItAway) {
  CMiniGame4& game = Opened();
  ClickAt(game, kPots[CMiniGame4::kBlue]);
  EXPECT_EQ(game.GetSelectedColour(), CMiniGame4::kBlue);
  StepAt(game, PiecePoint(30), false);
  EXPECT_EQ(m_cursor->GetType(), CCursor::kKeep);
  EXPECT_EQ(m_cursor->GetCurrentSystemCursor(), cursortest::FileId("cursor_03")) << "blue's brush";
  ClickAt(game, kPots[CMiniGame4::kGreen]);
  StepAt(game, PiecePoint(30), false);
  EXPECT_EQ(m_cursor->GetCurrentSystemCursor(), cursortest::FileId("cursor_02")) << "green's brush";
  ClickAt(game, PiecePoint(30));
  StepAt(game, kPaintExit, false);
  EXPECT_NE(m_cursor->GetType(), CCursor::kKeep) << "over the exit the cursor is the puzzle's exit cursor";
  ClickAt(game, kPaintExit);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kClosing);
  EXPECT_EQ(game.GetSelectedColour(), CMiniGame4::kNoPaint);
  EXPECT_EQ(Profile().miniGames.words124[1], CMiniGame4::kNoPaint);
  Wait(game, 1.0f);
  EXPECT_FALSE(game.IsActive());
  // Back again: the picture is as it was left.
  Open(game);
  EXPECT_EQ(game.GetRegionColour(30), CMiniGame4::kGreen);
  EXPECT_TRUE(Node(30).visible);
}

TEST_F(PaintPuzzleTest, TheSkipButtonSolvesThePuzzleWhateverIsPainted) {
  CMiniGame4& game = Opened();
  Wait(game, 61.0f);
  ClickAt(game, kSkipButton);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kClosing);
  EXPECT_FALSE(game.AllRegionsPainted());
}

TEST_F(PaintPuzzleTest, TheSavedBlockIsThePictureAndADamagedOneStartsAfresh) {
  SMiniGameBlock& block = Profile().miniGames;
  struct SCase {
    const char* what;
    uint32_t selected, piece7;
    bool kept;
  } cases[] = {
      {"a whole block", CMiniGame4::kYellow, CMiniGame4::kBlue, true},
      {"no paint in hand", CMiniGame4::kNoPaint, CMiniGame4::kRed, true},
      {"a paint in hand that does not exist", 5, CMiniGame4::kBlue, false},
      {"a piece of a paint that does not exist", CMiniGame4::kRed, 0xFFFFFFFFu, false},
  };
  for (const SCase& c : cases) {
    hmtest::CReportScope reports;
    SSaveData::ResetProfile(Profile());
    block.words124[0] = 1;  // the intro has been shown
    block.words124[1] = c.selected;
    block.words124[2 + 6] = c.piece7;
    block.words124[2 + 8] = CMiniGame4::kGreen;  // piece 9
    CMiniGame4& game = Build();
    EXPECT_EQ(game.GetSelectedColour(), c.kept ? c.selected : CMiniGame4::kNoPaint) << c.what;
    EXPECT_EQ(game.GetRegionColour(7), c.kept ? c.piece7 : CMiniGame4::kNoPaint) << c.what;
    EXPECT_EQ(game.GetRegionColour(9), c.kept ? CMiniGame4::kGreen : CMiniGame4::kNoPaint) << c.what;
    EXPECT_EQ(Node(9).visible, c.kept) << c.what;
    EXPECT_EQ(block.words124[2 + 8], c.kept ? CMiniGame4::kGreen : CMiniGame4::kNoPaint) << c.what;
    EXPECT_EQ(reports.Texts().empty(), c.kept) << c.what << "\n" << reports.All();
  }
  // Damaged after the puzzle was built: checked again when it opens.
  block.words124[2 + 20] = 9;
  Open(*m_game);
  EXPECT_EQ(m_game->GetRegionColour(9), CMiniGame4::kNoPaint);
  EXPECT_EQ(block.words124[2 + 20], CMiniGame4::kNoPaint);
  EXPECT_EQ(m_dialog->GetState(), 0) << "the intro was shown before";
}

}  // namespace
