// The key puzzle played in-process: parts carried into their sockets one by one until the key
// is whole, the drop that misses by a hair, clicks on placed parts, on nothing and on an object
// that names no part, the skip button held back while a part is in hand, and the placed parts
// kept in the profile, a damaged block starting afresh.

#include "Src/MiniGames/Vey_MiniGame2.h"
#include "tests/Src/MiniGames/MiniGameTestKit.h"

#include <cstdio>
#include <string>

using namespace Vey;
using namespace minigametest;

namespace {

// Homes in two rows at the top, sockets in two rows below them (layout units, y up). The
// columns stand 0.2 apart, wider than a drop's reach on a wide screen.
Vector2 Home(int part) { return {-1.0f + 0.2f * float(part % 9), part < 9 ? 0.7f : 0.5f}; }
Vector2 Target(int part) { return {-1.0f + 0.2f * float(part % 9), part < 9 ? 0.1f : -0.1f}; }
constexpr Vector2 kMiniGame2Exit{0.8f, 0.9f};
constexpr Vector2 kMiniGame2Empty{0.4f, -0.3f};
constexpr Vector2 kStray{0.6f, 0.3f};  // the home of an object whose node names no part

std::string PartNumber(int part) {
  char number[16];
  std::snprintf(number, sizeof number, "%.2d", part + 1);
  return number;
}

// A layout point moved by an offset in virtual-screen units.
Vector2 Offset(Vector2 point, Vector2 virtualOffset) {
  const Vector2 screen = ToVirtualScreen(point);
  return FromVirtualScreen({screen.x + virtualOffset.x, screen.y + virtualOffset.y});
}

class MiniGame2Test : public CMiniGameFixture {
 protected:
  void SetUp() override {
    CMiniGameFixture::SetUp();
    std::string objects;
    for (int part = 0; part < kKeyPartCount; ++part) {
      const std::string number = PartNumber(part);
      AddPicture(m_layout, ("root/Dummy/key_" + number).c_str(), Target(part), {0.03f, 0.03f});
      AddPicture(m_layout, ("root/Key/key_" + number).c_str(), Home(part), {0.03f, 0.03f});
      objects += PuzzleObject("G02_Key" + number, "root/Key/key_" + number);
    }
    AddPicture(m_layout, "root/Key/key_99", kStray, {0.03f, 0.03f});
    objects += PuzzleObject("G02_Stray", "root/Key/key_99");
    AddPicture(m_layout, "root/Exit1", kMiniGame2Exit, {0.05f, 0.05f});
    LoadWorld(CMiniGame2::kPuzzleIndex, objects);
    m_wire = &m_places.AddSprite("Scene06", "root/WireApply1", {0, 0});
    m_door = &m_places.AddSprite("Scene06", "root/Door_open_01", {0, 0}, false);
    m_places.Load("Scene06");
  }

  void Carry(CMiniGame2& game, int part, Vector2 drop) {
    ClickAt(game, Home(part));
    ASSERT_EQ(game.GetHeldIndex(), part);
    ClickAt(game, drop);
  }
  const uint8_t* SavedBytes() {
    // The block's intro byte, then one byte per part (record offsets 233,412 to 233,430).
    return reinterpret_cast<const uint8_t*>(&Profile().miniGames) + 68;
  }

  Ombrel::SLayoutSprite* m_wire = nullptr;
  Ombrel::SLayoutSprite* m_door = nullptr;
};

TEST_F(MiniGame2Test, CarryingEveryPartIntoItsSocketAssemblesTheKeyAndOpensTheDoorThreeSecondsLater) {
  CMiniGame2 game(&m_layout, Shared());
  Open(game);
  ASSERT_EQ(game.GetState(), CMiniGameBase::kPlaying);
  EXPECT_EQ(SavedBytes()[0], 1) << "the intro dialog is shown once per profile";
  for (int part = 0; part < kKeyPartCount; ++part) Carry(game, part, Target(part));
  Wait(game, 0.6f);  // the last part glides into its socket
  EXPECT_TRUE(game.AllPartsPlaced());
  for (int byte = 0; byte <= kKeyPartCount; ++byte) EXPECT_EQ(SavedBytes()[byte], 1) << "byte " << byte;

  Wait(game, 2.3f);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying) << "the key shines for three seconds first";
  Wait(game, 0.7f);
  EXPECT_NE(game.GetState(), CMiniGameBase::kPlaying);
  EXPECT_FALSE(m_wire->visible);
  EXPECT_TRUE(m_door->visible);
  bool doorKept = false;
  for (const SObjectStateEntry& entry : m_world.Scene(CMiniGame2::kLocation).live.objectStates)
    doorKept = doorKept || (entry.id == uint32_t(m_door->index) && entry.visible == 1);
  EXPECT_TRUE(doorKept) << "S06 shows the open door on its next visit";
}

TEST_F(MiniGame2Test, TheLastPartDroppedJustOutOfReachGlidesHomeAndTheKeyStaysOpen) {
  CMiniGame2 game(&m_layout, Shared());
  Open(game);
  for (int part = 0; part + 1 < kKeyPartCount; ++part) Carry(game, part, Target(part));
  Carry(game, kKeyPartCount - 1, Offset(Target(kKeyPartCount - 1), {0.0f, 21.0f}));
  Wait(game, 5.0f);
  EXPECT_FALSE(game.GetPart(kKeyPartCount - 1).placed);
  EXPECT_EQ(game.GetPart(kKeyPartCount - 1).move, 1.0f) << "back home after its glide";
  EXPECT_EQ(SavedBytes()[kKeyPartCount], 0);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying);
  EXPECT_TRUE(m_wire->visible);
}

TEST_F(MiniGame2Test, ADropCountsWithinTwentyUnitsOfTheSocketOnBothAxes) {
  const struct {
    Vector2 offset;  // virtual-screen units from the socket
    bool placed;
  } cases[] = {{{19.5f, -19.5f}, true}, {{-19.5f, 19.5f}, true}, {{20.6f, 0.0f}, false}, {{0.0f, -20.6f}, false}};
  CMiniGame2 game(&m_layout, Shared());
  Open(game);
  int part = 0;
  for (const auto& c : cases) {
    Carry(game, part, Offset(Target(part), c.offset));
    EXPECT_EQ(game.GetPart(part).placed, c.placed) << c.offset.x << ", " << c.offset.y;
    ++part;
  }
}

TEST_F(MiniGame2Test, PlacedPartsStayPutAndClicksOnNothingOrOnAStrayObjectOnlyHint) {
  CMiniGame2 game(&m_layout, Shared());
  Open(game);
  Carry(game, 4, Target(4));
  Wait(game, 0.6f);

  ClickAt(game, Home(4));
  EXPECT_EQ(game.GetHeldIndex(), -1) << "a placed part cannot be taken again";
  EXPECT_STRNE(Hud().GetNoteKey(), "G02_Hint_Note");

  // An object whose node ends in no part number is a click on nothing, never a part past the table.
  ClickAt(game, kStray);
  EXPECT_EQ(game.GetHeldIndex(), -1);
  EXPECT_STREQ(Hud().GetNoteKey(), "G02_Hint_Note");
  Hud().EndNote();
  ClickAt(game, kMiniGame2Empty);
  EXPECT_STREQ(Hud().GetNoteKey(), "G02_Hint_Note");

  // With a part in hand the exit only takes the drop; without, it leaves.
  ClickAt(game, Home(6));
  ClickAt(game, kMiniGame2Exit);
  EXPECT_EQ(game.GetHeldIndex(), -1);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying);
  ClickAt(game, kMiniGame2Exit);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kClosing);
}

TEST_F(MiniGame2Test, TheSkipButtonWaitsWhileAPartIsInHand) {
  CMiniGame2 game(&m_layout, Shared());
  Open(game);
  Wait(game, 61.0f);  // the skip button shows after a minute of play
  ClickAt(game, Home(2));
  ClickAt(game, kSkipButton);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying) << "no win with a part in hand";
  EXPECT_FALSE(m_door->visible);

  if (game.GetHeldIndex() >= 0) ClickAt(game, Home(2));  // dropped at its home
  ClickAt(game, kSkipButton);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kClosing);
  EXPECT_TRUE(m_door->visible) << "skipping wins at once";
}

TEST_F(MiniGame2Test, PlacedPartsSurviveAReloadAndAWholeKeyWinsThreeSecondsAfterOpening) {
  {
    CMiniGame2 game(&m_layout, Shared());
    Open(game);
    Carry(game, 0, Target(0));
    Carry(game, 11, Target(11));
  }
  CMiniGame2 reloaded(&m_layout, Shared());
  for (int part = 0; part < kKeyPartCount; ++part)
    EXPECT_EQ(reloaded.GetPart(part).placed, part == 0 || part == 11) << "part " << part;

  uint8_t* bytes = reinterpret_cast<uint8_t*>(&Profile().miniGames) + 68;
  for (int part = 0; part < kKeyPartCount; ++part) bytes[1 + part] = 1;
  CMiniGame2 whole(&m_layout, Shared());
  Open(whole);
  EXPECT_TRUE(whole.AllPartsPlaced());
  Wait(whole, 2.9f);
  EXPECT_EQ(whole.GetState(), CMiniGameBase::kPlaying);
  Wait(whole, 0.2f);
  EXPECT_NE(whole.GetState(), CMiniGameBase::kPlaying);
}

TEST_F(MiniGame2Test, ADamagedBlockIsReportedAndThePuzzleStartsAfresh) {
  uint8_t* bytes = reinterpret_cast<uint8_t*>(&Profile().miniGames) + 68;
  bytes[1] = 1;
  bytes[9] = 200;
  CMiniGame2 game(&m_layout, Shared());
  for (int part = 0; part < kKeyPartCount; ++part) EXPECT_FALSE(game.GetPart(part).placed) << "part " << part;
  EXPECT_EQ(bytes[1], 0);
  EXPECT_EQ(bytes[9], 0);
  EXPECT_TRUE(hmtest::Reported("key puzzle's block is damaged"));
}

}  // namespace
