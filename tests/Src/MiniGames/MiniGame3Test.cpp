// The combination lock played in-process: the dust wiped off with the tissue, the dials
// grabbed, turned round their centres and dropped to enter the code H2C8A5, the near misses that
// clear the entry, a drop once the code is whole, and the dials and entry kept in the profile,
// damaged dials starting afresh.

#include "Src/MiniGames/Vey_MiniGame3.h"
#include "tests/Src/MiniGames/MiniGameTestKit.h"

#include <cmath>
#include <cstring>
#include <string>

using namespace Vey;
using namespace minigametest;

namespace {

constexpr Vector2 kLetters{-0.5f, 0.2f};
constexpr Vector2 kNumbers{0.3f, 0.2f};
constexpr Vector2 kMiniGame3Exit{0.8f, 0.9f};
constexpr Vector2 kMiniGame3Empty{0.4f, -0.3f};
constexpr float kGrabRadius = 20.0f;  // virtual-screen units from a dial's centre
constexpr float kDegree = 3.14159265f / 180.0f;

const std::string kDustStates =
    "<State Name=\"Dusty\" Sprite=\"root/Dust\" Interactive=\"True\"/><State Name=\"Clean\" Sprite=\"\" "
    "Interactive=\"False\"/>";
std::string DustAction(const char* key, const char* result) {
  return std::string("<Action Object=\"") + key + "\" Note=\"\" ReqState=\"Dusty\" ResState=\"" + result +
         "\" Sound=\"\" Animation=\"\"><Conditions/><Effects/><MapChanges/></Action>";
}

// A point at `angle` round a dial's centre (0 below, positive towards the right).
Vector2 AroundDial(Vector2 dial, float angle) {
  const Vector2 centre = ToVirtualScreen(dial);
  return FromVirtualScreen({centre.x + kGrabRadius * std::sin(angle), centre.y + kGrabRadius * std::cos(angle)});
}

class MiniGame3Test : public CMiniGameFixture {
 protected:
  void SetUp() override {
    CMiniGameFixture::SetUp();
    AddPicture(m_layout, "root/Letters", kLetters, {0.4f, 0.4f});
    AddPicture(m_layout, "root/Numbers", kNumbers, {0.3f, 0.3f});
    for (int i = 0; i < kCodeLength; ++i) {
      const std::string name = std::string("root/Code_") + kLockCode[i];
      AddPicture(m_layout, name.c_str(), {-0.5f + 0.1f * float(i), 0.7f}, {0.04f, 0.04f}, nullptr, false);
    }
    m_dust = AddPicture(m_layout, "root/Dust", {-0.1f, 0.2f}, {1.4f, 0.5f});
    AddPicture(m_layout, "root/Exit1", kMiniGame3Exit, {0.05f, 0.05f});
    m_door = &m_places.AddSprite("Scene06", "root/FrontDoorOpen", {0, 0}, false);
    m_places.Load("Scene06");
    LoadWorld(CMiniGame3::kPuzzleIndex,
              PuzzleObject("G03_Dust", "root/Dust", "Dusty", kDustStates,
                           DustAction(CMiniGame3::kTissue, "Clean") + DustAction("Click", "Dusty")));
  }

  // The game opened, and the dust wiped off with the tissue the display hands over.
  void OpenClean(CMiniGame3& game) {
    Open(game);
    game.ApplyAction("G03_Dust", CMiniGame3::kTissue);
    ASSERT_TRUE(game.IsDustRemoved());
  }
  // Grabs the dial straight below its centre, turns it from its angle to `angle` and drops it.
  void TurnAndDrop(CMiniGame3& game, Vector2 dial, float angle) {
    const float from = dial.x == kLetters.x ? game.GetDials().bigAngle : game.GetDials().tinyAngle;
    ClickAt(game, AroundDial(dial, 0.0f));
    ASSERT_TRUE(game.IsHoldingDial());
    const Vector2 to = AroundDial(dial, WrapDialAngle(angle - from));
    StepAt(game, to, false);
    ClickAt(game, to);
  }
  void Enter(CMiniGame3& game, char c) {
    const char* letter = std::strchr(kLetterDialCharacters, c);
    if (letter)
      TurnAndDrop(game, kLetters, DialPositionAngle(int32_t(letter - kLetterDialCharacters)));
    else
      TurnAndDrop(game, kNumbers,
                  DialPositionAngle(int32_t(std::strchr(kDigitDialCharacters, c) - kDigitDialCharacters)));
  }
  std::string Entered(const CMiniGame3& game) const {
    return std::string(game.GetDials().enteredCode.data(), size_t(game.GetDials().enteredCount));
  }
  bool CodeShown(char c) { return m_layout.FindItem((std::string("root/Code_") + c).c_str())->visible; }
  uint8_t* Block() { return reinterpret_cast<uint8_t*>(&Profile().miniGames) + 88; }

  Ombrel::SLayoutSprite* m_dust = nullptr;
  Ombrel::SLayoutSprite* m_door = nullptr;
};

TEST_F(MiniGame3Test, EnteringTheWholeCodeOpensTheFrontDoorTwoSecondsLater) {
  CMiniGame3 game(&m_layout, Shared());
  OpenClean(game);
  for (char c : std::string(kLockCode)) Enter(game, c);
  EXPECT_EQ(Entered(game), "H2C8A5");
  for (char c : std::string(kLockCode)) EXPECT_TRUE(CodeShown(c)) << c;
  EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying);
  Wait(game, 1.9f);
  EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying) << "the lock opens after two seconds";
  Wait(game, 0.2f);
  EXPECT_NE(game.GetState(), CMiniGameBase::kPlaying);
  EXPECT_TRUE(m_door->visible);
}

TEST_F(MiniGame3Test, AWrongCharacterOrADropBetweenMarksClearsTheWholeEntry) {
  const struct {
    const char* what;
    const char* before;  // entered first, all right
    Vector2 dial;
    float degrees;  // where the next drop leaves the dial
  } cases[] = {
      {"the wrong last digit", "H2C8A", kNumbers, 5 * 40.0f},  // 6, not 5
      {"a letter where a digit is due", "H", kLetters, 2 * 40.0f},
      {"a drop between two marks", "H2", kLetters, 20.0f},
      {"the right letter past the wrap", "H2C8", kLetters, -160.0f},  // F stands at -160, A at 0
  };
  for (const auto& c : cases) {
    CMiniGame3 game(&m_layout, Shared());
    OpenClean(game);
    for (const char* p = c.before; *p; ++p) Enter(game, *p);
    ASSERT_EQ(Entered(game), c.before) << c.what;
    TurnAndDrop(game, c.dial, c.degrees * kDegree);
    EXPECT_EQ(Entered(game), "") << c.what;
    for (char code : std::string(kLockCode)) EXPECT_FALSE(CodeShown(code)) << c.what << ": " << code;
    Wait(game, 2.5f);
    EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying) << c.what;
  }
}

TEST_F(MiniGame3Test, ADropWhileTheWholeCodeWaitsForTheDoorEntersNothing) {
  CMiniGame3 game(&m_layout, Shared());
  OpenClean(game);
  for (char c : std::string(kLockCode)) Enter(game, c);
  Enter(game, '1');
  EXPECT_EQ(Entered(game), "H2C8A5");
  Wait(game, 2.1f);
  EXPECT_NE(game.GetState(), CMiniGameBase::kPlaying);
}

TEST_F(MiniGame3Test, TheDialsWaitUnderTheDustUntilTheTissueWipesItOff) {
  CMiniGame3 game(&m_layout, Shared());
  Open(game);
  ClickAt(game, AroundDial(kNumbers, 0.0f));
  EXPECT_FALSE(game.IsHoldingDial()) << "the dust holds the dials";
  EXPECT_STREQ(Hud().GetNoteKey(), "G03_Dust_Note") << "a click on the dust";
  Hud().EndNote();
  ClickAt(game, kMiniGame3Empty);
  EXPECT_EQ(Hud().GetNoteTimer(), 1.0f) << "no hint while the dust lies";

  game.ApplyAction("G03_Dust", "HO03_Wrench");
  EXPECT_STREQ(Hud().GetNoteKey(), "WRONG_ACTION");
  EXPECT_FALSE(game.IsDustRemoved());

  game.ApplyAction("G03_Dust", CMiniGame3::kTissue);
  EXPECT_TRUE(game.IsDustRemoved());
  EXPECT_TRUE(game.IsPlayable());
  EXPECT_FALSE(m_dust->visible);
  EXPECT_EQ(Block()[1], 1) << "the dust stays wiped in the profile";
  EXPECT_EQ(Block()[0], 0) << "no intro while the dust lay";
  Wait(game, 0.1f);
  EXPECT_EQ(Block()[0], 1);
  ClickAt(game, kMiniGame3Empty);
  EXPECT_STREQ(Hud().GetNoteKey(), "G03_Hint_Note");
  ClickAt(game, AroundDial(kNumbers, 0.0f));
  EXPECT_TRUE(game.IsHoldingDial());
}

TEST_F(MiniGame3Test, TheDialsAndTheEntrySurviveAReloadButNotAHeldDial) {
  float tiny = 0.0f;
  {
    CMiniGame3 game(&m_layout, Shared());
    OpenClean(game);
    Enter(game, 'H');
    Enter(game, '2');
    tiny = game.GetDials().tinyAngle;
    ClickAt(game, AroundDial(kLetters, 0.0f));
    ASSERT_TRUE(game.IsHoldingDial());
  }
  for (char c : std::string(kLockCode)) m_layout.FindItem((std::string("root/Code_") + c).c_str())->visible = false;
  m_dust->visible = true;
  CMiniGame3 reloaded(&m_layout, Shared());
  EXPECT_TRUE(reloaded.IsDustRemoved());
  EXPECT_FALSE(m_dust->visible);
  EXPECT_EQ(Entered(reloaded), "H2");
  EXPECT_TRUE(CodeShown('H') && CodeShown('2'));
  EXPECT_FALSE(CodeShown('C'));
  EXPECT_EQ(reloaded.GetDials().tinyAngle, tiny);
  EXPECT_FALSE(reloaded.IsHoldingDial());
}

TEST_F(MiniGame3Test, DamagedDialsAreReportedAndStartAfreshWithTheDustStillWiped) {
  Block()[1] = 1;
  const int32_t count = 9;
  std::memcpy(Block() + 24, &count, 4);
  std::memcpy(Block() + 28, "H2", 2);
  CMiniGame3 game(&m_layout, Shared());
  EXPECT_TRUE(hmtest::Reported("combination lock's dials are damaged"));
  EXPECT_TRUE(game.IsDustRemoved());
  EXPECT_EQ(game.GetDials().enteredCount, 0);
  EXPECT_FALSE(CodeShown('H'));
  int32_t stored = -1;
  std::memcpy(&stored, Block() + 24, 4);
  EXPECT_EQ(stored, 0);
  OpenClean(game);
  for (char c : std::string(kLockCode)) Enter(game, c);
  EXPECT_EQ(Entered(game), "H2C8A5") << "the lock works again";
}

}  // namespace
