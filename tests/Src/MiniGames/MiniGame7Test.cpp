// The pipes puzzle played in-process on the board the game ships: turned into its solution
// click by click and run through, one piece short of it, and from a first piece that does not
// face the source; its board kept in the profile and a damaged saved board.

#include "Src/MiniGames/Vey_MiniGame7.h"
#include "Src/World/Vey_EmitterPool.h"
#include "tests/Src/World/EmitterTestKit.h"
#include "tests/Src/MiniGames/MiniGameTestKit.h"
#include "tests/support/engine/ReportScope.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

using namespace Vey;
using minigametest::CMiniGameFixture;

namespace {

// The shipped board (content/App/Layouts/Game07.txt): each cell's piece and the rotation that
// solves it.
constexpr char kKinds[] = "LTITILITITLLLTILLLLLLXLLLLLTTLLLLIIITLLLLTLLLLITLTLTLLIITTL";
constexpr int32_t kSolution[kPipeCellCount] = {2, 1, 0, 1, 0, 3, 1, 0, 0, 2, 2, 0, 1, 3, 0, 0, 1, 3, 2, 3,
                                               2, 0, 3, 1, 3, 0, 1, 2, 0, 0, 2, 0, 2, 0, 0, 0, 2, 1, 3, 1,
                                               3, 0, 3, 2, 3, 1, 0, 2, 2, 2, 1, 3, 0, 1, 0, 0, 3, 3, 0};
constexpr int kColumnsFrom[8] = {0, 0, 0, 2, 2, 0, 0, 0};
constexpr int kColumnsTo[8] = {5, 5, 5, 8, 8, 8, 8, 8};

// The board in the upper part of the screen, clear of the test display's objects.
Vector2 CellPlace(int row, int column) { return {-0.9f + 0.2f * float(column), 0.95f - 0.2f * float(row)}; }
constexpr Vector2 kCellSize{0.18f, 0.18f};
constexpr Vector2 kButton{-1.3f, 0.3f};

Ombrel::SLayoutAnimatedSprite* AddAnimation(Ombrel::CLayout2D& layout, const std::string& name) {
  auto animation = std::make_unique<Ombrel::SLayoutAnimatedSprite>();
  Ombrel::SLayoutAnimatedSprite* added = animation.get();
  animation->name = name;
  animation->size = kCellSize;
  animation->index = int32_t(layout.GetCount());
  layout.AddItem(std::move(animation));
  return added;
}

class MiniGame7Test : public CMiniGameFixture {
 protected:
  void SetUp() override {
    CMiniGameFixture::SetUp();
    LoadWorld(6, "");
    BuildLayout();
    minigametest::AddPicture(m_location, "root/Opendoor", {0, 0}, {1, 1}, nullptr, false);
    minigametest::AddPicture(m_location, "root/Light", {0, 0}, {1, 1});
    minigametest::AddPicture(m_location, "root/OpenDoorLight", {0, 0}, {1, 1}, nullptr, false);
    // The location behind the puzzle: its link to the puzzle and its shut door.
    SMiniGameLink link;
    link.miniGame = 6;
    link.open = true;
    m_world.Scene(25).miniGames.push_back(link);
    SExit door;
    door.target = 31;
    door.conditions.push_back({"S26_Door", "Shut"});
    m_world.Scene(25).exits.push_back(door);
  }

  // The shipped board's objects in the order of its layout description, bar the piece of cell
  // `m_missingPiece`, after `m_firstObject` when a fixture names one.
  void BuildLayout() {
    using minigametest::AddPicture;
    if (m_firstObject) AddPicture(m_layout, m_firstObject, {0, 0}, {0.1f, 0.1f});
    AddPicture(m_layout, "root/Background", {0, 0}, {3.5f, 2.0f});
    AddAnimation(m_layout, "root/Blood");
    AddPicture(m_layout, "root/Button", kButton, {0.36f, 0.18f});
    AddPicture(m_layout, "root/ButtonPressed", kButton, {0.36f, 0.18f});
    AddPicture(m_layout, "root/ButtonDummy", kButton, {0.36f, 0.18f});
    int cell = 0;
    for (int row = 0; row < 8; ++row)
      for (int column = kColumnsFrom[row]; column <= kColumnsTo[row]; ++column, ++cell) {
        m_cellPlaces[size_t(cell)] = CellPlace(row, column);
        const std::string number = (cell < 10 ? "0" : "") + std::to_string(cell);
        if (cell != m_missingPiece)
          AddPicture(m_layout, ("root/Pipes/Pipe" + number).c_str(), m_cellPlaces[size_t(cell)], kCellSize);
        AddPicture(m_layout, ("root/Water/Water" + number + kKinds[cell] + "1").c_str(), m_cellPlaces[size_t(cell)],
                   kCellSize);
      }
    AddPicture(m_layout, "root/Exit1", {-1.3f, 0.8f}, {0.36f, 0.27f});
    AddPicture(m_layout, "root/Control", {-1.3f, 0.1f}, {0.36f, 0.09f});
    AddPicture(m_layout, "root/LampLightON", {0.5f, 0.9f}, {0.36f, 0.36f}, nullptr, false);
    for (const char* name : {"root/Straight Pipe/Straight Pipe1", "root/Corner Pipe/Corner Pipe1",
                             "root/Corner Pipe2/Corner Pipe2", "root/3way Pipe1/3way Pipe1", "root/3way Pipe3/3way Pipe3",
                             "root/3way Pipe2/3way Pipe7", "root/Cross Pipe/Cross Pipe1"}) {
      AddAnimation(m_layout, name);
      AddAnimation(m_layout, std::string(name) + "Loop");
    }
  }

  std::unique_ptr<CMiniGame7> MakeGame(uint32_t seed) {
    return std::make_unique<CMiniGame7>(&m_layout, Shared(), std::array<CEmitterPool*, 4>{}, seed);
  }
  uint32_t* Block() { return Profile().miniGames.words440; }

  // Turns every cell to the solution, bar `otherCell` which is turned to `otherRotation`.
  void TurnToSolution(CMiniGame7& game, int32_t otherCell = -1, int32_t otherRotation = 0) {
    for (int32_t cell = 0; cell < kPipeCellCount; ++cell) {
      const int32_t rotation = cell == otherCell ? otherRotation : kSolution[cell];
      const int clicks = (rotation - game.GetCell(cell).rotation + 4) % 4;
      for (int i = 0; i < clicks; ++i) {
        ClickAt(game, m_cellPlaces[size_t(cell)]);
        Wait(game, 0.3f);
      }
    }
  }
  // The reservoir filled, then the button pressed.
  void LetTheLiquidIn(CMiniGame7& game) {
    Wait(game, 10.1f);
    ClickAt(game, kButton);
  }
  // Frames until the puzzle has won or the seconds are over.
  void RunUntilWon(CMiniGame7& game, float seconds) {
    for (float t = 0.0f; t < seconds && game.GetWinTimer() == 0.0f; t += minigametest::kFrame)
      Wait(game, minigametest::kFrame);
  }
  int FilledCells(const CMiniGame7& game) {
    int filled = 0;
    for (int32_t cell = 0; cell < kPipeCellCount; ++cell) filled += game.GetCell(cell).filled;
    return filled;
  }

  // The location behind the puzzle ("Scene31"), not loaded unless a test loads it.
  Ombrel::CLayout2D& m_location = *(m_places.layouts["Scene31"] = std::make_unique<Ombrel::CLayout2D>());
  std::array<Vector2, kPipeCellCount> m_cellPlaces{};
  int m_missingPiece = -1;
  const char* m_firstObject = nullptr;
};

TEST_F(MiniGame7Test, TheShippedBoardTurnedToItsSolutionCarriesTheLiquidToTheOutletAndOpensTheDoor) {
  auto game = MakeGame(7);
  ASSERT_TRUE(game->IsBoardBound());
  Open(*game);
  ASSERT_EQ(game->GetState(), CMiniGameBase::kPlaying);
  TurnToSolution(*game);
  for (int32_t cell = 0; cell < kPipeCellCount; ++cell) ASSERT_EQ(game->GetCell(cell).rotation, kSolution[cell]) << "cell " << cell;
  LetTheLiquidIn(*game);
  ASSERT_TRUE(game->IsWaterRunning());
  RunUntilWon(*game, 40.0f);
  ASSERT_GT(game->GetWinTimer(), 0.0f) << FilledCells(*game) << " cells filled";
  EXPECT_EQ(FilledCells(*game), kPipeCellCount);

  // The lamp shows a second, then the puzzle closes.
  Wait(*game, 0.9f);
  EXPECT_EQ(game->GetState(), CMiniGameBase::kPlaying);
  Wait(*game, 0.8f);
  EXPECT_EQ(game->GetState(), CMiniGameBase::kClosed);

  const SMiniGameLink& link = m_world.Scene(25).miniGames[0];
  EXPECT_FALSE(link.open);
  EXPECT_TRUE(link.second);
  ASSERT_EQ(link.conditions.size(), 1u);
  EXPECT_EQ(link.conditions[0].object, "I08_Diamond Handle");
  EXPECT_EQ(link.conditions[0].state, "Impossible");
  EXPECT_TRUE(m_world.Scene(25).exits[0].open);
  EXPECT_TRUE(m_world.Scene(25).exits[0].conditions.empty());
  EXPECT_TRUE(m_location.FindItem("root/Opendoor")->visible);
  EXPECT_FALSE(m_location.FindItem("root/Light")->visible);
  EXPECT_TRUE(m_location.FindItem("root/OpenDoorLight")->visible);
  EXPECT_EQ(m_world.Scene(30).live.objectStates.size(), 3u);
}

// The location's layout comes and goes with the player's visits: the win changes the one the
// shelf holds then, loading it for the change when the player is elsewhere, and records the
// door so that the location shows it open when it is loaded again. The parameter: whether the
// location is loaded at the win.
class MiniGame7DoorTest : public MiniGame7Test, public ::testing::WithParamInterface<bool> {};

TEST_P(MiniGame7DoorTest, TheDoorOpensInTheLocationAsItIsAtTheWinAndStaysRecorded) {
  const bool loadedAtWin = GetParam();
  auto game = MakeGame(7);
  // The location unloaded after the puzzle was made: its first layout is gone for good.
  m_places.Load("Scene31");
  m_places.Unload("Scene31");
  m_places.layouts["Scene31"] = std::make_unique<Ombrel::CLayout2D>();
  Ombrel::CLayout2D& location = *m_places.layouts["Scene31"];
  minigametest::AddPicture(location, "root/Opendoor", {0, 0}, {1, 1}, nullptr, false);
  minigametest::AddPicture(location, "root/Light", {0, 0}, {1, 1});
  if (loadedAtWin) m_places.Load("Scene31");
  m_placeLog.clear();

  Open(*game);
  TurnToSolution(*game);
  LetTheLiquidIn(*game);
  RunUntilWon(*game, 40.0f);
  Wait(*game, 1.7f);
  ASSERT_EQ(game->GetState(), CMiniGameBase::kClosed);

  EXPECT_TRUE(location.FindItem("root/Opendoor")->visible);
  EXPECT_FALSE(location.FindItem("root/Light")->visible);
  EXPECT_EQ(m_places.GetLoaded("Scene31") != nullptr, loadedAtWin) << "loaded for the change only";
  const scenetest::Log expectedLog =
      loadedAtWin ? scenetest::Log{} : scenetest::Log{"layouts.Load Scene31", "layouts.Unload Scene31"};
  EXPECT_EQ(m_placeLog, expectedLog);
  // What the location applies when it is loaded again: the door shown, the light hidden (the
  // open door's light, which this layout lacks, is left out).
  const std::vector<SObjectStateEntry>& recorded = m_world.Scene(30).live.objectStates;
  ASSERT_EQ(recorded.size(), 2u);
  EXPECT_EQ(recorded[0].visible, 1);
  EXPECT_EQ(recorded[1].visible, 0);
}

INSTANTIATE_TEST_SUITE_P(LoadedOrNot, MiniGame7DoorTest, ::testing::Bool());

TEST_F(MiniGame7Test, OnePieceShortOfTheSolutionLeaksDrainsAndEmptiesTheBoardUnsolved) {
  auto game = MakeGame(7);
  Open(*game);
  TurnToSolution(*game, 40, (kSolution[40] + 3) % 4);
  Wait(*game, 0.1f, m_cellPlaces[0]);
  EXPECT_EQ(m_cursor->GetType(), CCursor::kObject) << "a piece that can turn shows the hand";
  LetTheLiquidIn(*game);
  Wait(*game, 3.0f, m_cellPlaces[0]);
  EXPECT_NE(m_cursor->GetType(), CCursor::kObject);
  // While the liquid runs or drains no piece turns.
  const int32_t rotation = game->GetCell(0).rotation;
  ClickAt(*game, m_cellPlaces[0]);
  EXPECT_EQ(game->GetCell(0).rotation, rotation);

  RunUntilWon(*game, 40.0f);
  EXPECT_EQ(game->GetWinTimer(), 0.0f) << "never solved";
  EXPECT_FALSE(game->IsWaterRunning());
  EXPECT_GE(game->GetDrain(), 0.9999f);
  EXPECT_EQ(FilledCells(*game), 0) << "drained and emptied";
  EXPECT_EQ(game->GetState(), CMiniGameBase::kPlaying);
  EXPECT_TRUE(m_world.Scene(25).miniGames[0].open);
  EXPECT_FALSE(m_world.Scene(25).exits[0].open);
  EXPECT_FALSE(m_location.FindItem("root/Opendoor")->visible);
}

// Every piece full is no win while the outlet's piece (cell 23, a corner) faces elsewhere: at
// rotation 2 it still joins its right-hand neighbour but turns down instead of up.
TEST_F(MiniGame7Test, TheBoardIsSolvedOnlyWithTheOutletPieceTurnedToTheOutlet) {
  ASSERT_EQ(kKinds[kOutletCell], 'L');
  ASSERT_EQ(kSolution[kOutletCell], 1);
  auto game = MakeGame(7);
  Open(*game);
  TurnToSolution(*game, kOutletCell, 2);
  LetTheLiquidIn(*game);
  RunUntilWon(*game, 40.0f);
  EXPECT_EQ(game->GetWinTimer(), 0.0f) << FilledCells(*game) << " cells filled";
  EXPECT_EQ(game->GetState(), CMiniGameBase::kPlaying);
  EXPECT_FALSE(m_world.Scene(25).exits[0].open);
}

// The liquid leaving by the outlet is the way out, not a leak: the solved board starts no leak
// effect, while a board one piece short starts one (so the pools are watched at all).
TEST_F(MiniGame7Test, TheOutletIsNoLeakWhileAnOpenEndElsewhereIs) {
  MP::CManager* manager = MP::CManager::CreateInstance();
  struct SManagerScope {
    ~SManagerScope() { MP::CManager::DeleteInstance(); }
  } managerScope;
  MP::CEmitter* burst = gametest::AddBurst(*manager, "G07_Leak");
  ASSERT_NE(burst, nullptr);
  struct SCase {
    const char* what;
    int32_t cell;
    bool leaks;
  };
  for (const SCase& c : {SCase{"solved", -1, false}, SCase{"one piece short", 40, true}}) {
    SCOPED_TRACE(c.what);
    std::array<std::unique_ptr<CEmitterPool>, 4> pools;
    for (auto& pool : pools) pool = std::make_unique<CEmitterPool>(4, "Leaks", *burst);
    auto game = std::make_unique<CMiniGame7>(
        &m_layout, Shared(), std::array<CEmitterPool*, 4>{pools[0].get(), pools[1].get(), pools[2].get(), pools[3].get()},
        7);
    Open(*game);
    TurnToSolution(*game, c.cell, c.cell < 0 ? 0 : (kSolution[c.cell] + 3) % 4);
    LetTheLiquidIn(*game);
    bool leaked = false;
    for (float t = 0.0f; t < 40.0f && game->GetWinTimer() == 0.0f && !leaked; t += minigametest::kFrame) {
      Wait(*game, minigametest::kFrame);
      for (const auto& pool : pools)
        for (uint32_t i = 0; i < pool->GetCount(); ++i) leaked = leaked || pool->GetEmitter(i)->GetState() != MP::CEmitter::kStopped;
    }
    EXPECT_EQ(leaked, c.leaks);
    EXPECT_EQ(game->GetWinTimer() > 0.0f, !c.leaks);
  }
}

TEST_F(MiniGame7Test, AFirstPieceNotFacingTheSourceSpillsAndStopsBeforeAnyPieceFills) {
  auto game = MakeGame(7);
  Open(*game);
  // The source cell is a corner: rotations 1 and 2 turn it away from the source.
  while (game->GetCell(kSourceCell).rotation != 1) {
    ClickAt(*game, m_cellPlaces[kSourceCell]);
    Wait(*game, 0.3f);
  }
  LetTheLiquidIn(*game);
  EXPECT_FALSE(game->IsWaterRunning());
  EXPECT_LT(game->GetDrain(), 0.1f);
  Wait(*game, 2.5f);
  EXPECT_EQ(FilledCells(*game), 0);
  // At rest again: the reservoir refills before the button works once more.
  ClickAt(*game, kButton);
  EXPECT_FALSE(game->IsWaterRunning());
}

TEST_F(MiniGame7Test, AProfileKeepsItsFirstRandomBoardAndEveryTurn) {
  std::array<int32_t, kPipeCellCount> first{};
  {
    auto game = MakeGame(11);
    for (int32_t cell = 0; cell < kPipeCellCount; ++cell) first[size_t(cell)] = game->GetCell(cell).rotation;
    Open(*game);
    ClickAt(*game, m_cellPlaces[3]);
    Wait(*game, 0.3f);
    first[3] = (first[3] + 1) % 4;
    EXPECT_EQ(Block()[1 + 3], uint32_t(first[3])) << "written at once";
  }
  auto again = MakeGame(12);  // another seed: another random board, were it not stored
  int differs = 0;
  for (int32_t cell = 0; cell < kPipeCellCount; ++cell) {
    EXPECT_EQ(again->GetCell(cell).rotation, first[size_t(cell)]) << "cell " << cell;
    EXPECT_EQ(again->GetCell(cell).angle, RestAngle(first[size_t(cell)]));
  }
  Block()[0] = 0;  // nothing stored

  auto unsaved = MakeGame(12);
  for (int32_t cell = 0; cell < kPipeCellCount; ++cell)
    differs += unsaved->GetCell(cell).rotation != first[size_t(cell)];
  EXPECT_GT(differs, 0) << "the seed draws the board of a fresh profile";
}

TEST_F(MiniGame7Test, ADamagedSavedBoardStartsThePuzzleAfresh) {
  const struct {
    const char* what;
    size_t word;
    uint32_t value;
  } kDamage[] = {{"a rotation past 3", 1 + 7, 9}, {"a negative rotation", 1 + 58, 0xFFFFFFFFu},
                 {"a stored byte past 1", 0, 0x00000200u}};
  for (const auto& damage : kDamage) {
    SCOPED_TRACE(damage.what);
    std::fill(Block(), Block() + 60, 0u);
    Block()[0] = 0x00000100u;  // stored, intro not shown
    Block()[damage.word] = damage.value;
    hmtest::CReportScope reports;
    auto game = MakeGame(5);
    EXPECT_TRUE(hmtest::Reported("damaged")) << hmtest::CReportScope::All();
    EXPECT_EQ(reinterpret_cast<uint8_t*>(Block())[1], 1) << "the fresh board is stored";
    for (int32_t cell = 0; cell < kPipeCellCount; ++cell) {
      EXPECT_LE(game->GetCell(cell).rotation, 3);
      EXPECT_EQ(Block()[1 + size_t(cell)], uint32_t(game->GetCell(cell).rotation));
    }
  }
}

}  // namespace

namespace {

// The board is bound by its objects' names: one more object before it changes nothing, a
// missing piece leaves it unbound with the cell named.
class MiniGame7ShiftedLayoutTest : public MiniGame7Test {
 protected:
  MiniGame7ShiftedLayoutTest() { m_firstObject = "root/Frame"; }
};

TEST_F(MiniGame7ShiftedLayoutTest, AnObjectBeforeTheBoardLeavesEveryCellBoundToItsOwnPiece) {
  auto game = MakeGame(7);
  ASSERT_TRUE(game->IsBoardBound());
  const std::string kindLetters = "ILTX";  // straight, corner, three-way, cross
  for (int32_t cell = 0; cell < kPipeCellCount; ++cell)
    EXPECT_EQ(game->GetCell(cell).kind, int32_t(kindLetters.find(kKinds[cell]))) << cell;
  Open(*game);
  const int32_t before = game->GetCell(17).rotation;
  ClickAt(*game, m_cellPlaces[17]);
  Wait(*game, 0.3f);
  EXPECT_EQ(game->GetCell(17).rotation, (before + 1) % 4) << "the click on cell 17's piece turns cell 17";
}

class MiniGame7MissingPieceTest : public MiniGame7Test {
 protected:
  MiniGame7MissingPieceTest() { m_missingPiece = 17; }
};

TEST_F(MiniGame7MissingPieceTest, AMissingPieceIsReportedWithItsCellAndThePuzzleOnlyLetsThePlayerLeave) {
  hmtest::CReportScope reports;
  auto game = MakeGame(7);
  EXPECT_FALSE(game->IsBoardBound());
  EXPECT_TRUE(hmtest::Reported("no piece or liquid place for cell 17")) << hmtest::CReportScope::All();
  Open(*game);
  LetTheLiquidIn(*game);
  EXPECT_FALSE(game->IsWaterRunning()) << "no board to run into";
  ClickAt(*game, {-1.3f, 0.8f});
  Wait(*game, 0.6f);
  EXPECT_EQ(game->GetState(), CMiniGameBase::kClosed);
}

class MiniGame7ShortLayoutTest : public CMiniGameFixture {};

// A layout without the board is named in a report; the puzzle still opens, runs and lets the
// player leave, with nothing to turn or fill.
TEST_F(MiniGame7ShortLayoutTest, ALayoutWithoutTheBoardIsReportedAndThePuzzleOnlyLetsThePlayerLeave) {
  LoadWorld(6, "");
  minigametest::AddPicture(m_layout, "root/Background", {0, 0}, {3.5f, 2.0f});
  minigametest::AddPicture(m_layout, "root/ButtonDummy", {-1.3f, 0.3f}, {0.36f, 0.18f});
  minigametest::AddPicture(m_layout, "root/Exit1", {-1.3f, 0.8f}, {0.36f, 0.27f});
  hmtest::CReportScope reports;
  CMiniGame7 game(&m_layout, Shared(), {}, 1);
  EXPECT_FALSE(game.IsBoardBound());
  EXPECT_TRUE(hmtest::Reported("holds 3 objects, the board needs 123")) << hmtest::CReportScope::All();
  Open(game);
  Wait(game, 10.5f);
  ClickAt(game, {-1.3f, 0.3f});
  EXPECT_FALSE(game.IsWaterRunning()) << "no board to run into";
  ClickAt(game, {-1.3f, 0.8f});
  Wait(game, 0.6f);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kClosed);
}

}  // namespace
