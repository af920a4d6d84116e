// The close-up view over stand-in screens: its states and fades, taking objects, items and
// clicks applied to objects, the mini-game link, the saved mini-game word, the auto-close, and
// what its renderer draws in each state.

#include "Src/Investigation/Vey_Intermediate.h"

#include <gtest/gtest.h>

#include "Src/Investigation/Vey_IntermediateRenderer.h"
#include "tests/Src/Investigation/IntermediateTestKit.h"

#include <iterator>
#include <string>
#include <vector>

using namespace Vey;
using namespace closeuptest;

namespace {

const Vector2 kKey{0.3f, 0.0f};
const Vector2 kLetter{0.6f, 0.0f};
const Vector2 kChest{0.0f, 0.0f};
const Vector2 kBox{0.8f, 0.8f};  // under the close button
const Vector2 kDial{0.0f, -0.3f};
const Vector2 kOutside{-0.9f, -0.9f};

std::string Action(const char* item, const char* req, const char* res, const char* note = "",
                   const std::string& effects = "") {
  return std::string("<Action Object=\"") + item + "\" Note=\"" + note + "\" ReqState=\"" + req + "\" ResState=\"" +
         res + "\" Sound=\"\" Animation=\"\"><Conditions/><Effects>" + effects + "</Effects><MapChanges/></Action>";
}

// The location's lamp, which a close-up's action lights.
std::string LampLocation() {
  SSceneText scene;
  scene.objects = Object("Lamp", "Off", "LampOff", "", State("Off", "LampOff", false));
  return scene.Text();
}

// A key to take, a clue, a chest the key opens in two steps (and that lights the location's
// lamp), a box and a darkness without actions, a plain rug, a close-up object named like the
// location's lamp, and a dial whose mini-game opens once the chest is no longer locked.
std::string FullCloseUp() {
  const std::string chestActions =
      Action("Key", "Locked", "Unlocked", "I01_ChestNote", "<Effect Object=\"Lamp\" Visible=\"True\"/>") +
      Action("Key", "Unlocked", "Open") + Action("Coin", "Open", "Locked");
  const std::string objects =
      Object("Key", "Lying", "Key", "Pickable", State("Lying", "Key", true)) +
      Object("Letter", "Lying", "Letter", "Clue", State("Lying", "Letter", true), "", "item_paper") +
      Object("Chest", "Locked", "ChestLocked", "",
             State("Locked", "ChestLocked", true) + State("Unlocked", "ChestLocked", true) +
                 State("Open", "ChestOpen", false),
             chestActions) +
      Object("Box", "Shut", "Box", "", State("Shut", "Box", true)) +
      Object("I21b_Darkness", "Deep", "Darkness", "", State("Deep", "Darkness", true)) +
      Object("Rug", "Flat", "Rug", "", State("Flat", "Rug", false)) + Object("Lamp", "", "CloseLamp");
  return "<Intermediate><Objects>" + objects +
         "</Objects><MiniGames><MiniGame Name=\"G03\" Sprite=\"Dial\" Open=\"False\"><Conditions>" +
         Condition("Chest", "!Locked") +
         "</Conditions></MiniGame></MiniGames>"
         "<Dialogs><Dialog Name=\"I01_1_Dialog\"><Conditions><Condition Object=\"Key\" Picked=\"True\"/></Conditions>"
         "</Dialog></Dialogs><DiaryEntries><DiaryEntry Name=\"I01_1_Entry\"><Conditions>" +
         Condition("Chest", "Open") + "</Conditions></DiaryEntry></DiaryEntries></Intermediate>\n";
}

std::string KeyOnlyCloseUp() {
  return "<Intermediate><Objects>" + Object("Key", "", "Key", "Pickable") +
         "</Objects><MiniGames/><Dialogs/><DiaryEntries/></Intermediate>\n";
}

class IntermediateTest : public ::testing::Test, public CCloseUpFixture {
 protected:
  void SetUp() override {
    m_layouts.AddSprite("Scene01", "LampOff", {0.0f, 0.0f}, false);
    m_layouts.AddSprite("Intermediate01", "Key", kKey);
    m_layouts.AddSprite("Intermediate01", "Letter", kLetter);
    m_layouts.AddSprite("Intermediate01", "ChestLocked", kChest);
    m_layouts.AddSprite("Intermediate01", "ChestOpen", kChest, false);
    m_layouts.AddSprite("Intermediate01", "Box", kBox);
    m_layouts.AddSprite("Intermediate01", "Darkness", {0.0f, 0.3f});
    m_layouts.AddSprite("Intermediate01", "Rug", {-0.3f, 0.0f});
    m_layouts.AddSprite("Intermediate01", "CloseLamp", {0.3f, 0.3f}, false);
    m_layouts.AddSprite("Intermediate01", "Dial", kDial);
  }
  void BuildFull() { Build(LampLocation(), FullCloseUp()); }
  SCloseUpSlot& Slot() { return m_world->CloseUp(0); }
  SSceneObject& Object(const char* name) {
    for (SSceneObject& object : Slot().objects)
      if (object.name == name) return object;
    return Slot().objects.front();
  }
  // The notes the display was asked to show.
  std::vector<std::string> Notes() const {
    std::vector<std::string> notes;
    for (const std::string& entry : m_log)
      if (entry.rfind("hud.ShowNote ", 0) == 0) notes.push_back(entry.substr(13));
    return notes;
  }
};

TEST_F(IntermediateTest, OpensFadesInClosesByItsButtonAndFadesOutIntoTheProfile) {
  BuildFull();
  Open();
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kOpening);
  EXPECT_EQ(Profile().closeUp, 0u);
  RunFrames(12);  // 0.24 s of the half-second fade
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kOpening);
  EXPECT_NEAR(m_closeUp->GetFade(), 0.48f, 1e-4f);
  RunFrames(13);
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kOpen);
  EXPECT_EQ(m_closeUp->GetFade(), 0.0f);

  // The box under the button hears the click first, then the close-up closes; a line spoken
  // over the open close-up counts the press towards its skip.
  Click(kBox);
  EXPECT_EQ(m_dialog.skipClicks, 1);
  EXPECT_EQ(Notes(), std::vector<std::string>{CIntermediate::kWrongAction});
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kClosing);
  RunFrames(23);  // the click's release frame was the first of the fade's 25
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kClosing);
  RunFrames(1);
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kClosed);
  EXPECT_EQ(Profile().closeUp, kNoCloseUp);
  EXPECT_EQ(Profile().progress.last, 1) << "the progress is stored when the close-up has closed";
  EXPECT_EQ(m_closeUp->GetCloseUp(), kNoCloseUp);
}

TEST_F(IntermediateTest, OnlyAClickOutsideTheBoundAndAwayFromTheDisplayCloses) {
  const struct {
    Vector2 at;
    bool overHud;
    int32_t state;
  } cases[] = {
      {kNowhere, false, CIntermediate::kOpen},
      {kOutside, false, CIntermediate::kClosing},
      {kOutside, true, CIntermediate::kOpen},
  };
  for (const auto& c : cases) {
    BuildFull();
    OpenFully();
    m_hud.overHud = c.overHud;
    Click(c.at);
    EXPECT_EQ(m_closeUp->GetState(), c.state) << c.at.x << " over the display " << c.overHud;
  }
}

TEST_F(IntermediateTest, ATakenObjectLeavesForTheFrameAndTheCloseUpWaitsForTheFrameToClose) {
  BuildFull();
  OpenFully();
  Click(kKey);
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kItemFrameOnTop);
  EXPECT_TRUE(Logged(m_log, "frame.Show Key"));
  EXPECT_TRUE(Logged(m_log, "hud.AddItem Key"));
  EXPECT_EQ(m_hud.inFrame, "Key") << "the bar stands still while the frame presents the key";
  EXPECT_FALSE(Logged(m_log, "hud.ShowNote WRONG_ACTION")) << "the click took the key";
  EXPECT_TRUE(Object("Key").picked);
  EXPECT_FALSE(Node("Key").visible);
  EXPECT_TRUE(Shown(m_closeUpCapture)) << "the close-up is captured behind the frame";
  const SObjectStateEntry& recorded = Slot().live.objectStates.back();
  EXPECT_EQ(recorded.id, uint32_t(Node("Key").index));
  EXPECT_EQ(recorded.visible, 0);
  EXPECT_EQ(recorded.removed, 1);

  RunFrames(3);
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kItemFrameOnTop);
  EXPECT_FALSE(Logged(m_log, "dialog.Open I01_1_Dialog"));
  m_frame.state = 0;
  m_sceneCapture.Hide();
  RunFrames(1);
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kOpen);
  EXPECT_TRUE(Shown(m_sceneCapture));
  RunFrames(1);
  EXPECT_TRUE(Logged(m_log, "dialog.Open I01_1_Dialog")) << "the dialog waits for the key to be picked";

  // A clue does not go into the inventory: its picture waits in the frame, then flies to the diary.
  m_frame.state = 0;
  m_hud.SetBarFrozen(false);
  Click(kLetter);
  EXPECT_TRUE(Logged(m_log, "hud.PlayPickupEffects"));
  EXPECT_FALSE(Logged(m_log, "hud.AddItem Letter"));
  EXPECT_EQ(m_hud.inFrame, "Letter");
  EXPECT_FALSE(Logged(m_log, "hud.ShowNote WRONG_ACTION"));
}

TEST_F(IntermediateTest, EveryCloseUpWaitsItsOwnDelayBeforeItClosesItself) {
  // By close-up, 0 to 28.
  const float kMain[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1.5f, 0, 0, 0, 0, 1.5f,
                         0, 0, 0, 0, 6,    0, 3, 0, 0, 2,    2.25f, 5, 0, 5};
  ASSERT_EQ(std::size(kMain), size_t(kCloseUpCount));
  for (uint32_t closeUp = 0; closeUp < kCloseUpCount; ++closeUp)
    EXPECT_EQ(CIntermediate::AutoCloseDelay(closeUp, false), kMain[closeUp]) << closeUp;
  const float kBonus[] = {0, 2.5f, 0, 0, 0};
  for (uint32_t closeUp = 0; closeUp < 5; ++closeUp)
    EXPECT_EQ(CIntermediate::AutoCloseDelay(closeUp, true), kBonus[closeUp]) << "bonus " << closeUp;
  EXPECT_EQ(CIntermediate::AutoCloseDelay(kCloseUpCount, false), 0.0f);
}

// Closing would leave the item frame open over the location, where nothing runs it.
TEST_F(IntermediateTest, AnObjectTakenUnderTheCloseButtonKeepsTheCloseUpForItsFrame) {
  static_cast<Ombrel::SLayoutBox&>(Node("Key")).position = kBox;
  static_cast<Ombrel::SLayoutBox&>(Node("Box")).position = kNowhere;
  BuildFull();
  OpenFully();
  Click(kBox);
  EXPECT_TRUE(Logged(m_log, "frame.Show Key"));
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kItemFrameOnTop);
}

TEST_F(IntermediateTest, TheHeldKeyRunsBothChainedActionsAndLightsTheLocationsLampOnly) {
  BuildFull();
  OpenFully();
  m_hud.usedItem = "Key";
  Frame(kChest, true, false);  // applied with a press: the press takes and closes nothing
  EXPECT_EQ(Object("Chest").state, "Open");
  EXPECT_TRUE(Node("ChestOpen").visible);
  EXPECT_FALSE(Node("ChestLocked").visible);
  EXPECT_EQ(Notes(), std::vector<std::string>{"I01_ChestNote"});
  EXPECT_TRUE(Logged(m_log, "hud.RemoveItem Key"));
  EXPECT_TRUE(m_layouts.Node("Scene01", "LampOff")->visible);
  EXPECT_FALSE(Node("CloseLamp").visible);
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kOpen);
  EXPECT_FALSE(Logged(m_log, "frame.Show Chest"));
  Frame(kNowhere);
  EXPECT_TRUE(Logged(m_log, "hud.AddDiaryEntry I01_1_Entry"));

  // An item applied over no object is dropped, and nothing else happens in that frame.
  m_log.clear();
  m_hud.usedItem = "Key";
  Frame(kOutside, true, false);
  EXPECT_TRUE(m_log.empty());
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kOpen);
}

TEST_F(IntermediateTest, ANoteTellsAWrongItemOnAnInteractiveObjectOnly) {
  const struct {
    const char* object;
    const char* item;
    const char* note;  // "" for none
  } cases[] = {
      {"Chest", "Coin", ""},  // the chest takes the coin, but only once it is open
      {"Chest", "Stone", CIntermediate::kWrongAction},
      {"Box", CIntermediate::kClickItem, CIntermediate::kWrongAction},
      {"Rug", "Stone", ""},
      {"Rug", CIntermediate::kClickItem, ""},
      {"I21b_Darkness", "S25_Symbol2", "I11_Hole_Note"},
      {"I21b_Darkness", "Stone", CIntermediate::kWrongAction},
      {"Nothing", "Stone", ""},
  };
  for (const auto& c : cases) {
    BuildFull();
    OpenFully();
    m_log.clear();
    m_closeUp->UseItemOnCloseUp(c.object, c.item);
    const std::vector<std::string> expected = *c.note ? std::vector<std::string>{c.note} : std::vector<std::string>{};
    EXPECT_EQ(Notes(), expected) << c.object << " with " << c.item;
    EXPECT_FALSE(Logged(m_log, std::string("hud.RemoveItem ") + c.item)) << c.object << " with " << c.item;
  }
}

TEST_F(IntermediateTest, TheDialOpensItsMiniGameOnceTheChestIsUnlockedAndTheCloseUpComesBack) {
  BuildFull();
  OpenFully();
  Click(kDial);
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kOpen);
  EXPECT_FALSE(Logged(m_log, "game.Open 2"));

  m_closeUp->UseItemOnCloseUp("Chest", "Key");
  Click(kDial);
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kMiniGameOnTop);
  EXPECT_TRUE(Logged(m_log, "game.Open 2"));
  EXPECT_TRUE(Shown(m_closeUpCapture));
  EXPECT_FALSE(Shown(m_emitterNode));
  RunFrames(2);
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kMiniGameOnTop);
  // The puzzle covers the screen, and with it the location beneath, except while it fades.
  EXPECT_TRUE(m_closeUp->CoversScreen());
  for (int32_t fading : {1, 2}) {
    m_game.fadeState = fading;
    EXPECT_FALSE(m_closeUp->CoversScreen()) << fading;
  }
  m_game.fadeState = 0;

  m_game.open = false;
  m_sceneCapture.Hide();
  RunFrames(1);
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kOpen);
  EXPECT_TRUE(Shown(m_emitterNode));
  EXPECT_TRUE(Shown(m_sceneCapture));
}

TEST_F(IntermediateTest, ASavedMiniGameWordReopensItsGameOnlyWhenTheStoryHasIt) {
  const struct {
    uint32_t saved;
    int32_t state;
    uint32_t afterwards;
  } cases[] = {
      {2, CIntermediate::kMiniGameOnTop, 2},  // the game writes its own number when it opens
      {kNoMiniGame, CIntermediate::kOpening, kNoMiniGame},
      {12, CIntermediate::kOpening, kNoMiniGame},  // a damaged save
      {0xFFFFFFFFu, CIntermediate::kOpening, kNoMiniGame},
  };
  for (const auto& c : cases) {
    BuildFull();
    m_game.open = false;
    Profile().miniGame = c.saved;
    Open();
    EXPECT_EQ(m_closeUp->GetState(), c.state) << c.saved;
    EXPECT_EQ(m_game.open, c.state == CIntermediate::kMiniGameOnTop) << c.saved;
    if (c.state != CIntermediate::kMiniGameOnTop) {
      EXPECT_EQ(Profile().miniGame, c.afterwards) << c.saved;
    }
  }
}

TEST_F(IntermediateTest, TakingTheLastObjectClosesTheCloseUpOneOpenFrameAfterTheFrameIsDismissed) {
  Build(LampLocation(), KeyOnlyCloseUp());
  OpenFully();
  Click(kKey);
  EXPECT_TRUE(m_closeUp->IsAutoCloseArmed());
  m_frame.state = 0;
  RunFrames(1);
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kOpen);
  RunFrames(1);
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kClosing);
}

TEST_F(IntermediateTest, ACloseUpOutsideTheStoryIsRefusedWithAReport) {
  BuildFull();
  m_closeUp->Open(29, &m_ambientName, &m_ambientSlot);
  m_closeUp->Open(-1, &m_ambientName, &m_ambientSlot);
  EXPECT_EQ(m_closeUp->GetState(), CIntermediate::kClosed);
  EXPECT_EQ(Profile().closeUp, kNoCloseUp);
  EXPECT_NE(hmtest::CReportScope::All().find("Close-up 29 is not in the story"), std::string::npos);
}

// What the renderer puts on screen in each state, seen through the backdrop it asks for and the
// fade the close-up draws itself with.
TEST_F(IntermediateTest, TheRendererDrawsTheFrozenCloseUpOnlyBehindAScreenThatFades) {
  BuildFull();
  std::vector<float> backdrops;
  // It draws nothing, and says so.
  CIntermediateRenderer renderer("Intermediate", m_closeUp.get(), [&](float strength) {
    backdrops.push_back(strength);
    return false;
  });
  renderer.Render();
  EXPECT_TRUE(backdrops.empty()) << "closed";

  OpenFully();
  m_frame.alpha = 0.25f;
  Click(kKey);
  renderer.Render();
  EXPECT_EQ(backdrops, std::vector<float>{0.25f}) << "behind the item-found frame, at its fade";
  EXPECT_EQ(m_closeUp->DrawAlpha(), 1.0f);

  backdrops.clear();
  m_frame.state = 0;
  RunFrames(1);
  m_closeUp->UseItemOnCloseUp("Chest", "Key");
  Click(kDial);
  ASSERT_EQ(m_closeUp->GetState(), CIntermediate::kMiniGameOnTop);
  renderer.Render();
  EXPECT_TRUE(backdrops.empty()) << "the open game covers the screen";
  EXPECT_EQ(m_closeUp->DrawAlpha(), 0.0f);
  m_game.fadeState = 2;
  m_game.fade = 0.75f;
  renderer.Render();
  EXPECT_EQ(backdrops, std::vector<float>{0.25f}) << "while the game fades out";
}

}  // namespace

// A close-up copies its sprites' frame animations while it is on screen; closing it, or leaving
// the playing state with it open, gives the layout its shared animations back.
TEST_F(IntermediateTest, ClosingOrLeavingTheStateGivesTheSpritesTheirSharedFrameAnimationsBack) {
  Ombrel::CTextureAnimation frames;
  frames.Init(Ombrel::CTextureAnimation::kFiles, 2);
  auto fire = std::make_unique<Ombrel::SLayoutAnimatedSprite>();
  Ombrel::CLayout2D& layout = *m_layouts.Find("Intermediate01");
  fire->index = int32_t(layout.GetCount());
  fire->name = "Fire";
  fire->visible = true;
  fire->animation = &frames;
  auto* live = fire.get();
  layout.AddItem(std::move(fire));
  BuildFull();

  OpenFully();
  ASSERT_NE(live->animation, &frames) << "an open close-up plays its own copy";
  Click(kOutside);
  RunFrames(30);
  ASSERT_EQ(m_closeUp->GetState(), CIntermediate::kClosed);
  EXPECT_EQ(live->animation, &frames) << "closing lets go of the copy";

  // The playing state is left with the close-up open: what the state does on its way out.
  OpenFully();
  ASSERT_NE(live->animation, &frames);
  m_closeUp->StoreProgress();
  m_closeUp->ReleaseLayout();
  EXPECT_EQ(live->animation, &frames);
  EXPECT_EQ(Profile().closeUp, 0u) << "the close-up stays open in the profile";
}
