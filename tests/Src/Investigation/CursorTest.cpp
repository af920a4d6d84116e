// The cursor set: the type chosen for what lies under the mouse, the press and hover hold, the
// window cursor each type shows (none with the system-cursor switch off), breaking and mending
// with the saved point, and the sprite's fade-in and size.

#include "Src/Investigation/Vey_Cursor.h"
#include "tests/Src/Investigation/QuietHud.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/omInput.h"
#include "Src/World/Vey_Map.h"
#include "tests/Src/World/WorldDescriptionFixture.h"
#include "tests/Src/Investigation/CursorTestKit.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/engine/ReportScope.h"
#include "tools/shared/FileBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace Vey;
using cursortest::CFakeSystemCursor;
using cursortest::FileId;

namespace {

constexpr float kPi = 3.14159265f;


// The full question a screen asks, with nothing under the mouse by default.
struct SAsk {
  bool pressed = false, released = false, itemHeld = false;
  int32_t exitTarget = 58, currentScene = 0, closeUp = 30, miniGame = 9;
  std::string picked = "None";
  bool withObjects = true;
  bool backExit = false, objectRequest = false, hudOverride = false, bonus = false;
  bool keyTaken = false;  // the world's state, not part of the question: the fixture's key taken

  SAsk& Exit(int32_t target) { return Set(exitTarget, target); }
  SAsk& CloseUp(int32_t index) { return Set(closeUp, index); }
  SAsk& MiniGame(int32_t index) { return Set(miniGame, index); }
  SAsk& Picked(const char* name) { return Set(picked, std::string(name)); }
  SAsk& ItemHeld() { return Set(itemHeld, true); }
  SAsk& NoList() { return Set(withObjects, false); }
  SAsk& BackExit() { return Set(backExit, true); }
  SAsk& Request() { return Set(objectRequest, true); }
  SAsk& OverrideHud() { return Set(hudOverride, true); }
  SAsk& Bonus() { return Set(bonus, true); }
  SAsk& KeyTaken() { return Set(keyTaken, true); }

 private:
  template <typename T>
  SAsk& Set(T& field, T value) {
    field = value;
    return *this;
  }
};

class CursorTest : public ::testing::Test {
 protected:
  CursorTest() : m_record(0) {
    m_record.SetNode(&m_node, nullptr);
    m_record.SetSize(40.0f, 40.0f);
    for (auto& material : m_materials) {
      material.Init(Ombrel::CTextureAnimation::kFiles, 2);
      material.SetDuration(1.0f);
    }
    MakeCursor();
  }

  void MakeCursor() {
    m_cursor.reset();
    auto system = std::make_unique<CFakeSystemCursor>();
    m_system = system.get();
    m_cursor = std::make_unique<CCursor>(
        CCursor::Materials{&m_materials[0], &m_materials[1], &m_materials[2], &m_materials[3]}, m_record,
        std::move(system));
  }

  void Ask(const SAsk& a) {
    const SObjectList* objects = a.withObjects ? &m_world->Scene(0).objects : nullptr;
    m_cursor->UpdateType(*m_world, m_hud, a.pressed, a.released, a.itemHeld, a.exitTarget, a.currentScene, a.closeUp,
                         a.miniGame, a.picked, objects, a.backExit, a.objectRequest, a.hudOverride, a.bonus);
  }

  float Scale() const { return m_node.GetScale().x; }

  std::unique_ptr<CMap> m_world = worldtest::LoadedWorld();
  CQuietHud m_hud;
  Ombrel::CSprite2DNode m_node{"CursorNode0", nullptr};
  Ombrel::CCursor m_record;
  Ombrel::CTextureAnimation m_materials[CCursor::kMaterialCount];
  CFakeSystemCursor* m_system = nullptr;
  std::unique_ptr<CCursor> m_cursor;
};

TEST_F(CursorTest, TheFilesAreLoadedInOrderAndTheStandardCursorShows) {
  const std::vector<std::string> expected = {
      "VFS//Cursors//Standard.cur", "VFS//Cursors//Object1.cur", "VFS//Cursors//Hidden.cur",
      "VFS//Cursors//Exit.cur",     "VFS//Cursors//Exit2.cur",   "VFS//Cursors//Exit3.cur",
      "VFS//Cursors//Exit4.cur",    "VFS//Cursors//Exit5.cur",   "VFS//Cursors//Exit6.cur",
      "VFS//Cursors//Exit7.cur",    "VFS//Cursors//Exit8.cur",   "VFS//Cursors//Object2.cur"};
  EXPECT_EQ(m_system->loaded, expected);
  EXPECT_EQ(m_cursor->GetType(), CCursor::kStandard);
  EXPECT_EQ(m_system->shown.back(), FileId("Standard"));
  EXPECT_FLOAT_EQ(m_cursor->GetAlpha(), 0.0f);
}

// Scene 0 of the fixture leads to slot 1 to the north-east and to the hidden-object scene 33;
// its lamp is interactive and remarks on a plain click, its key is not interactive but can be
// taken until it is.
TEST_F(CursorTest, TheTypeFollowsWhatLiesUnderTheMouseInTheRulesOrder) {
  const struct {
    const char* what;
    SAsk ask;
    bool overHud;
    int32_t type;
    float rotation;
    const char* file;  // the window cursor shown; "" for none
  } kCases[] = {
      {"nothing", {}, false, CCursor::kStandard, 0.0f, "Standard"},
      {"the display hides an exit", SAsk().Exit(1), true, CCursor::kStandard, 0.0f, "Standard"},
      {"the display overridden", SAsk().Exit(1).OverrideHud(), true, CCursor::kExit, -kPi / 4, "Exit2"},
      {"the back exit before an exit", SAsk().BackExit().Exit(1), false, CCursor::kExit, -kPi, "Exit5"},
      {"an exit north-east", SAsk().Exit(1), false, CCursor::kExit, -kPi / 4, "Exit2"},
      {"into a hidden-object scene", SAsk().Exit(33), false, CCursor::kMagnifier, 0.0f, "Hidden"},
      // Scene 0 lists no exit to 5: the sprite keeps its turn.
      {"the bonus chapter's hidden-object scenes start at 5", SAsk().Exit(5).Bonus(), false, CCursor::kMagnifier, 0.5f,
       "Hidden"},
      {"no exit (58) is no exit", SAsk().Exit(58), false, CCursor::kStandard, 0.0f, "Standard"},
      {"an exit to where one is", SAsk().Exit(0), false, CCursor::kStandard, 0.0f, "Standard"},
      {"a mini-game before an object request", SAsk().MiniGame(2).Request(), false, CCursor::kMagnifier, 0.0f,
       "Hidden"},
      {"an object request before the picked object", SAsk().Request().Picked("Key"), false, CCursor::kObject, 0.0f,
       "Object1"},
      {"an object with a remark, empty-handed", SAsk().Picked("Lamp"), false, CCursor::kMagnifier, 0.0f, "Hidden"},
      {"an object with a remark, item in hand", SAsk().Picked("Lamp").ItemHeld(), false, CCursor::kObject, 0.0f,
       "Object1"},
      {"an object without the list", SAsk().Picked("Lamp").NoList(), false, CCursor::kStandard, 0.0f, "Standard"},
      {"an object to take", SAsk().Picked("Key"), false, CCursor::kObject, 0.0f, "Object1"},
      {"an object to take over a close-up", SAsk().Picked("Key").CloseUp(4), false, CCursor::kObject, 0.0f,
       "Object1"},
      {"a taken object", SAsk().Picked("Key").KeyTaken(), false, CCursor::kStandard, 0.0f, "Standard"},
      {"a taken object over a close-up", SAsk().Picked("Key").KeyTaken().CloseUp(4), false, CCursor::kMagnifier, 0.0f,
       "Hidden"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    MakeCursor();
    m_record.SetRotation(0.5f);
    m_hud.overHud = c.overHud;
    for (SSceneObject& object : m_world->Scene(0).objects)
      if (object.name == "Key") object.picked = c.ask.keyTaken;
    // The main story's world serves the bonus chapter's question too: only the flag counts.
    Ask(c.ask);
    EXPECT_EQ(m_cursor->GetType(), c.type);
    EXPECT_NEAR(m_record.GetRotation(), c.rotation, 1e-5f);
    EXPECT_EQ(m_cursor->GetCurrentSystemCursor(), FileId(c.file));
    EXPECT_EQ(m_system->shown.back(), FileId(c.file));
  }
}

TEST_F(CursorTest, AnExitTheSceneDoesNotListKeepsTheDirection) {
  SAsk ask;
  ask.exitTarget = 1;
  Ask(ask);
  ask.exitTarget = 7;  // the fixture's scene 0 has no exit there
  Ask(ask);
  EXPECT_EQ(m_cursor->GetType(), CCursor::kExit);
  EXPECT_NEAR(m_record.GetRotation(), -kPi / 4, 1e-5f);
}

TEST_F(CursorTest, ExitDirectionsTurnTheSpriteAndPickTheirCursorOnlyForTheExitType) {
  m_cursor->SetType(CCursor::kExit);
  const char* kFiles[] = {"Exit", "Exit2", "Exit3", "Exit4", "Exit5", "Exit6", "Exit7", "Exit8"};
  for (int32_t direction = 0; direction < 8; ++direction) {
    m_cursor->SetExitDirection(direction);
    EXPECT_NEAR(m_record.GetRotation(), -float(direction) * kPi / 4, 1e-5f) << direction;
    EXPECT_EQ(m_system->shown.back(), FileId(kFiles[direction])) << direction;
  }
  m_cursor->SetExitDirection(CCursor::kHiddenObjectExit);
  EXPECT_FLOAT_EQ(m_record.GetRotation(), 0.0f);
  EXPECT_EQ(m_system->shown.back(), FileId("Exit8")) << "direction 8 only straightens the sprite";
  m_cursor->SetType(CCursor::kObject);
  m_cursor->SetExitDirection(2);
  EXPECT_EQ(m_system->shown.back(), FileId("Object1"));
}

TEST_F(CursorTest, EachTypeSetsItsMaterialScaleAndAnchor) {
  const struct {
    int32_t type;
    float scale, anchorX;
  } kCases[] = {{CCursor::kExit, 1.2f, 0.0f},
                {CCursor::kObject, 1.0f, 20.0f},
                {CCursor::kMagnifier, 1.0f, 20.0f},
                {CCursor::kStandard, 0.9f, 20.0f}};
  for (const auto& c : kCases) {
    m_cursor->SetType(c.type);
    float x = 0, y = 0;
    m_record.GetHotSpot(&x, &y);
    EXPECT_FLOAT_EQ(Scale(), c.scale) << c.type;
    EXPECT_FLOAT_EQ(x, c.anchorX) << c.type;
    EXPECT_FLOAT_EQ(y, 20.0f) << c.type;
  }
  // The same type again changes nothing, not even a scale changed since.
  m_node.SetScale({3.0f, 3.0f});
  const size_t shown = m_system->shown.size();
  m_cursor->SetType(CCursor::kStandard);
  EXPECT_FLOAT_EQ(Scale(), 3.0f);
  EXPECT_EQ(m_system->shown.size(), shown);
  // Type 5 keeps the material and the window cursor; only the scale goes back to 1.
  m_cursor->SetType(CCursor::kObject);
  m_cursor->SetType(CCursor::kKeep);
  EXPECT_FLOAT_EQ(Scale(), 1.0f);
  EXPECT_EQ(m_cursor->GetCurrentSystemCursor(), FileId("Object1"));
  m_cursor->SetHover(true);
  EXPECT_FLOAT_EQ(m_materials[2].GetProgress(), 0.0f) << "type 5 is not the object type";
}

TEST_F(CursorTest, APressHoldsTheTypeUntilItsRelease) {
  SAsk ask;
  ask.objectRequest = true;
  Ask(ask);
  ask.pressed = true;
  Ask(ask);
  EXPECT_FLOAT_EQ(m_materials[2].GetProgress(), 0.5f) << "the pressed picture";
  EXPECT_EQ(m_system->shown.back(), FileId("Object2"));
  EXPECT_TRUE(m_cursor->IsHeld());
  SAsk elsewhere;  // nothing under the mouse while the button is held
  Ask(elsewhere);
  EXPECT_EQ(m_cursor->GetType(), CCursor::kObject);
  elsewhere.released = true;
  Ask(elsewhere);
  EXPECT_FALSE(m_cursor->IsHeld());
  EXPECT_FLOAT_EQ(m_materials[2].GetProgress(), 0.0f);
  EXPECT_EQ(m_cursor->GetType(), CCursor::kStandard) << "the release frame chooses again";
  // A press and a release in one frame count as a press.
  SAsk both;
  both.pressed = both.released = true;
  Ask(both);
  EXPECT_TRUE(m_cursor->IsHeld());
}

TEST_F(CursorTest, PressingOrHoveringTheStandardCursorReplaysItsAnimation) {
  m_materials[0].SetProgress(0.7f);
  SAsk press;
  press.pressed = true;
  Ask(press);
  EXPECT_FLOAT_EQ(m_materials[0].GetProgress(), 0.0f);
  EXPECT_TRUE(m_materials[0].IsPlaying());
  m_cursor->SetHover(false);
  EXPECT_FALSE(m_cursor->IsHeld());
  m_materials[0].SetProgress(0.7f);
  m_cursor->SetHover(true);
  EXPECT_FLOAT_EQ(m_materials[0].GetProgress(), 0.0f);
  EXPECT_TRUE(m_cursor->IsHeld());
}

TEST_F(CursorTest, ARestoreShowsTheObjectCursorsNormalPictureAndDropsTheHold) {
  m_cursor->SetType(CCursor::kObject);
  m_cursor->SetHover(true);
  EXPECT_EQ(m_system->shown.back(), FileId("Object2"));
  m_cursor->RequestRestore();
  m_cursor->Update(0.0f);
  EXPECT_EQ(m_system->shown.back(), FileId("Object1"));
  EXPECT_FLOAT_EQ(m_materials[2].GetProgress(), 0.0f);
  EXPECT_FALSE(m_cursor->IsHeld());
}

TEST_F(CursorTest, WithTheSwitchOffTheWindowNeverShowsACursor) {
  CFakeSystemCursor::switchOn = false;
  MakeCursor();
  for (int32_t type : {CCursor::kExit, CCursor::kObject, CCursor::kMagnifier, CCursor::kStandard}) {
    m_cursor->SetType(type);
    m_cursor->SetExitDirection(3);
    m_cursor->SetHover(true);
    m_cursor->SetHover(false);
  }
  m_cursor->SetBroken(true);
  m_cursor->SetBroken(false);
  CFakeSystemCursor::switchOn = true;
  for (SystemCursorId shown : m_system->shown) EXPECT_EQ(shown, kNoSystemCursor);
  EXPECT_FALSE(m_cursor->IsSystemCursorShown());
  EXPECT_EQ(m_cursor->GetCurrentSystemCursor(), FileId("Standard")) << "the choice is kept for the switch";
}

TEST_F(CursorTest, ABrokenCursorHidesUntilMendedThenReturnsToWhereItBrokeAndFadesIn) {
  m_record.SetColour(10, 20, 30, 128);
  m_system->x = 120;
  m_system->y = 45;
  m_cursor->SetBroken(true);
  EXPECT_EQ(m_record.GetFlags() & CCursor::kSpriteShownFlag, 0u);
  EXPECT_EQ(m_system->shown.back(), kNoSystemCursor);
  EXPECT_EQ(m_record.GetColour()[0], 128);
  EXPECT_EQ(m_record.GetColour()[3], 0);

  // Breaking again keeps the first point; while broken nothing shows or fades.
  m_system->x = 300;
  m_cursor->SetBroken(true);
  m_cursor->SetType(CCursor::kObject);
  m_cursor->Update(1.0f);
  EXPECT_EQ(m_system->shown.back(), kNoSystemCursor);
  EXPECT_FLOAT_EQ(m_cursor->GetAlpha(), 0.0f);
  EXPECT_EQ(m_system->moves, 0);

  m_cursor->SetBroken(false);
  EXPECT_EQ(m_system->shown.back(), FileId("Object1")) << "the type chosen while broken shows";
  m_cursor->Update(0.1f);
  EXPECT_NE(m_record.GetFlags() & CCursor::kSpriteShownFlag, 0u);
  EXPECT_EQ(m_system->moves, 1);
  EXPECT_EQ(m_system->x, 120);
  EXPECT_EQ(m_system->y, 45);
  // 4 a second: 0.4 after 0.1 s, written as the byte 0.4 x 128 = 51.2, truncated.
  EXPECT_FLOAT_EQ(m_cursor->GetAlpha(), 0.4f);
  EXPECT_EQ(m_record.GetColour()[3], 51);
  m_cursor->Update(0.2f);
  EXPECT_FLOAT_EQ(m_cursor->GetAlpha(), 1.0f);
  EXPECT_EQ(m_record.GetColour()[3], 128);

  // Mending a whole cursor does nothing.
  const size_t shown = m_system->shown.size();
  m_cursor->SetBroken(false);
  m_cursor->Update(0.1f);
  EXPECT_EQ(m_system->moves, 1);
  EXPECT_EQ(m_system->shown.size(), shown);
}

TEST_F(CursorTest, APointerOffTheWindowWhenItBrokeIsNotMovedOnMending) {
  m_system->overWindow = false;
  m_cursor->SetBroken(true);
  m_cursor->SetBroken(false);
  m_cursor->Update(0.1f);
  EXPECT_EQ(m_system->moves, 0);
}

TEST(CursorSprite, KeepsItsScreenSizeWhateverTheWindowsHeight) {
  const struct {
    int32_t height;
    float side;
  } kCases[] = {{768, 24.0f}, {384, 48.0f}, {1536, 12.0f}, {0, 24.0f}, {-10, 24.0f}};
  for (const auto& c : kCases) EXPECT_FLOAT_EQ(CCursor::SpriteSide(c.height), c.side) << c.height;
}

// The game's window system: a file it cannot read is reported by name and what is wrong, and
// the system arrow takes its place.
TEST(PlatformSystemCursor, AnUnreadableFileGivesTheSystemArrowAndSaysWhy) {
  const std::string folder = std::string(HM_TEST_HOME) + "/cursor-files/";
  std::filesystem::create_directories(folder);
  ASSERT_TRUE(WriteFileBytes(folder + "Empty.cur", hmtest::SBytes().U16(0).U16(2).U16(0).data));
  const struct {
    const char* file;
    const char* problem;
  } kCases[] = {{"Missing.cur", "Missing.cur\" cannot be opened"},
                {"Empty.cur", "Empty.cur\" is damaged: it holds no image"}};
  const std::unique_ptr<ISystemCursor> system = CreatePlatformSystemCursor();
  for (const auto& c : kCases) {
    hmtest::CReportScope reports;
    EXPECT_EQ(system->Load(folder + c.file), kSystemArrowCursor) << c.file;
    EXPECT_TRUE(hmtest::Reported(c.problem)) << reports.All();
  }
}

}  // namespace
