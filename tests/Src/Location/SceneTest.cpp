// The location logic over stand-in screens, layouts built here and a small world: entering and
// leaving locations, restoring an open screen, conditions, links, clicks, items, navigation, the
// overlays, the closing sequence and the ambient one-shots.

#include "Src/Location/Vey_Scene.h"

#include <gtest/gtest.h>

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Scene/omSprite2DNode.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_MPManager.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "tests/Src/World/EmitterTestKit.h"
#include "tests/Src/Location/SceneTestKit.h"
#include "tests/Src/World/SoundBankTestKit.h"

#include <memory>
#include <string>

using namespace Vey;
using namespace scenetest;

namespace {

class CPlainNode : public Ombrel::ISceneNode {
 public:
  explicit CPlainNode(const char* name) : Ombrel::ISceneNode(name) {}
  void Render() override {}
};

bool Shown(const Ombrel::ISceneNode& node) { return (node.GetFlags() & 3u) == 3u; }

const std::string kLampAction =
    "<Action Object=\"Click\" Note=\"S01_Lamp_Note\" ReqState=\"Off\" ResState=\"Lit\" Sound=\"\" Animation=\"\">"
    "<Conditions/><Effects><Effect Object=\"Glow\" Visible=\"True\"/><Effect Object=\"Drawer\" "
    "Visible=\"False\"/></Effects>"
    "<MapChanges><MapChange Object=\"Marker1\" Visible=\"True\"/></MapChanges></Action>";
const std::string kDoorAction =
    "<Action Object=\"Key\" Note=\"\" ReqState=\"Closed\" ResState=\"Open\" Sound=\"\" Animation=\"\"><Conditions>" +
    Condition("Lamp", "Lit") + "</Conditions><Effects/><MapChanges/></Action>";
const std::string kChairAction =
    "<Action Object=\"Click\" Note=\"\" ReqState=\"Still\" ResState=\"Still\" Sound=\"\" Animation=\"\"><Conditions/>"
    "<Effects><Effect Object=\"S33_Grandma\" Visible=\"True\"/></Effects><MapChanges/></Action>";

// The first location: exits to the second (once the lamp is lit) and to a hidden-object scene,
// a close-up and a mini-game link, and one object of every kind.
std::string FirstLocation() {
  SSceneText scene;
  scene.sound = "amb_house";
  scene.exits =
      "<Exit Scene=\"S02\" Sprite=\"ToS02\" Open=\"False\" Sound=\"door_in_open\" Direction=\"N\"><Conditions>" +
      Condition("Lamp", "Lit") +
      "</Conditions></Exit>"
      "<Exit Scene=\"HO01_1_34\" Sprite=\"ToHO\" Open=\"False\" Sound=\"\" Direction=\"HO\"><Conditions/></Exit>";
  scene.closeUps = "<Intermediate Name=\"I01\" Sprite=\"ToCloseUp\" Open=\"False\"><Conditions/></Intermediate>";
  scene.miniGames = "<MiniGame Name=\"G03\" Sprite=\"ToGame\" Open=\"False\"><Conditions/></MiniGame>";
  scene.dialogs =
      "<Dialog Name=\"S01_1_Dialog\"><Conditions><Condition Object=\"Key\" Picked=\"True\"/></Conditions></Dialog>";
  scene.objects = Object("Lamp", "Off", "LampOff", "", State("Off", "LampOff", true) + State("Lit", "LampLit", false),
                         kLampAction) +
                  Object("Key", "", "Key", "Pickable") + Object("Letter", "", "Letter", "Clue", "", "", "item_found") +
                  Object("Bucket", "", "Bucket", "Draggable") +
                  Object("Door", "Closed", "Door", "", State("Closed", "Door", true) + State("Open", "DoorOpen", false),
                         kDoorAction) +
                  Object("Glow", "", "Glow") +
                  Object("Chair", "Still", "Chair", "", State("Still", "Chair", false), kChairAction);
  return scene.Text();
}

std::string Location(const char* name, const char* sound) {
  SSceneText scene;
  scene.name = name;
  scene.sound = sound;
  return scene.Text();
}

const Vector2 kLinks[] = {{-1.0f, 0.5f}, {-1.0f, -0.5f}, {1.0f, 0.5f}, {1.0f, -0.5f}};
const Vector2 kLamp{0.0f, 0.0f};
const Vector2 kKey{0.3f, 0.0f};
const Vector2 kDoor{0.0f, 0.6f};
const Vector2 kNowhere{0.0f, -0.9f};

class SceneTest : public gametest::CSoundBankFixture {
 protected:
  void SetUp() override {
    gametest::CSoundBankFixture::SetUp();
    m_save = std::make_unique<SSaveData>();
    m_save->current = 0;
    SProfileData& profile = m_save->profiles[0];
    profile.gameMode = 2;
    profile.location = kNoLocation;
    profile.hiddenObject = kNoLocation;
    profile.closeUp = kNoCloseUp;
    profile.miniGame = kNoMiniGame;
  }
  // The layouts as a fresh entry finds them.
  void MakeLayouts() {
    m_layouts.layouts.clear();
    m_layouts.AddSprite("Scene01", "ToS02", kLinks[0]);
    m_layouts.AddSprite("Scene01", "ToHO", kLinks[1]);
    m_layouts.AddSprite("Scene01", "ToCloseUp", kLinks[2]);
    m_layouts.AddSprite("Scene01", "ToGame", kLinks[3]);
    m_layouts.AddSprite("Scene01", "LampOff", kLamp);
    m_layouts.AddSprite("Scene01", "LampLit", kLamp, false);
    m_layouts.AddSprite("Scene01", "Key", kKey);
    m_layouts.AddSprite("Scene01", "Letter", {0.6f, 0.0f});
    m_layouts.AddSprite("Scene01", "Bucket", {-0.3f, 0.0f});
    m_layouts.AddSprite("Scene01", "Door", kDoor);
    m_layouts.AddSprite("Scene01", "DoorOpen", kDoor, false);
    m_layouts.AddSprite("Scene01", "Glow", {0.0f, -0.6f}, false);
    m_layouts.AddSprite("Scene01", "Chair", {0.6f, 0.6f});
    m_layouts.AddSprite("Scene01", "root/Bucket_1", {-0.6f, -0.6f});
    m_layouts.AddSprite("Scene01", "root/BucketTaken", {-0.6f, -0.3f}, false);
    m_layouts.AddSprite("Scene02", "Floor", kLamp);
    m_layouts.AddSprite("Intermediate01", "Drawer", kLamp);
  }
  void TearDown() override {
    m_scene.reset();
    m_bank.reset();
    gametest::CSoundBankFixture::TearDown();
  }

  // The world and the scene over every stand-in; with sounds, a bank of the named ones.
  void Build(std::initializer_list<const char*> sounds = {}, uint32_t random = 0) {
    m_world = std::make_unique<CMap>(m_bonus);
    const std::string text = m_bonus
                                 ? worldtest::BonusChapter()
                                 : World({FirstLocation(), Location("S02", "amb_house"), Location("S03", "amb_woods")},
                                         "<Intermediate><Objects>" + Object("Drawer", "", "Drawer") +
                                             "</Objects><MiniGames/><Dialogs/><DiaryEntries/></Intermediate>\n");
    const int problems = m_world->Load(text);
    if (!m_bonus) {  // the bonus world's rich slot names a mini-game it lacks
      ASSERT_EQ(problems, 0) << hmtest::CReportScope::All();
    }
    MakeLayouts();
    if (sounds.size()) {
      MakeContent(sounds);
      m_bank = std::make_unique<CSoundContainer>();
      if (m_bonus)
        m_bank->LoadBonusGameSounds(m_resources.get());
      else
        m_bank->LoadGameSounds(m_resources.get());
    }
    SSceneParts parts;
    parts.world = m_world.get();
    parts.layouts = &m_layouts;
    parts.save = m_save.get();
    parts.hud = &m_hud;
    parts.cursor = &m_cursor;
    parts.sounds = m_bank.get();
    parts.itemFrame = &m_frame;
    parts.dialog = &m_dialog;
    parts.closeUp = &m_closeUp;
    parts.hiddenObjects = &m_hidden;
    parts.miniGames[2] = &m_game;
    parts.emitterNode = &m_emitterNode;
    parts.captureNode = &m_captureNode;
    parts.upperRenderNode = &m_upperNode;
    parts.dragNode = &m_dragNode;
    parts.saveGame = [this] { ++m_saves; };
    parts.random = std::make_unique<CFixedRandom>(random);
    parts.hints = m_hints;
    parts.emitters = m_emitters;
    parts.bonus = m_bonus;
    if (m_withTutorials) {
      parts.tutorials = &m_tutorials;
      parts.tutorialQuestion = &m_question;
    }
    m_scene = std::make_unique<CScene>(std::move(parts));
  }

  // One frame with the pointer at the layout position, pressed or not.
  bool Frame(Vector2 at, bool down, float dt = 0.02f) {
    m_scene->ProcessSceneInput(dt, {ToVirtualScreen(at), down});
    return m_scene->UpdateScene(dt);
  }
  void Click(Vector2 at) {
    Frame(at, true);
    Frame(at, false);
  }
  Ombrel::SLayoutItem& Node(const char* name) { return *m_layouts.Node("Scene01", name); }
  SProfileData& Profile() { return m_save->profiles[0]; }
  SSceneSlot& First() { return m_world->Scene(0); }
  bool Playing(const char* sound) const { return m_bank->IsPlaying(m_bank->FindSound(sound)); }

  hmtest::CReportScope m_reportScope;
  Log m_log;
  CFakeHud m_hud{&m_log};
  CFakeCursor m_cursor;
  CFakeItemFrame m_frame{&m_log};
  CFakeDialog m_dialog{&m_log};
  CFakeCloseUp m_closeUp{&m_log};
  CFakeHiddenObjects m_hidden{&m_log};
  CFakeMiniGame m_game{&m_log, 2};
  CFakeLayouts m_layouts{&m_log};
  CPlainNode m_emitterNode{"SceneEmitters"};
  CPlainNode m_captureNode{"SceneCapture"};
  CPlainNode m_upperNode{"UpperRender"};
  Ombrel::CSprite2DNode m_dragNode{"BucketNode", nullptr};
  std::unique_ptr<SSaveData> m_save;
  std::unique_ptr<CMap> m_world;
  std::unique_ptr<CSoundContainer> m_bank;
  std::unique_ptr<CScene> m_scene;
  int m_saves = 0;
  bool m_bonus = false;
  bool m_withTutorials = false;
  CFakeTutorials m_tutorials{&m_log};
  CFakeQuestion m_question{&m_log};
  CEmitterPool* m_hints = nullptr;
  CEmitterGroup* m_emitters = nullptr;
};

// The place shows in the frame of the click; the save and the close-ups' layouts come in the
// frames after it, one a frame.
TEST_F(SceneTest, LeavingALocationStoresAndSavesButTheFirstEntryDoesNot) {
  Build();
  m_scene->LoadScene(0);
  EXPECT_EQ(m_scene->GetCurrentLocation(), 0u);
  EXPECT_TRUE(Logged(m_log, "layouts.Load Scene01"));
  EXPECT_FALSE(Logged(m_log, "layouts.Load Intermediate01")) << "not in the frame of the click";
  m_scene->UpdateScene(0.02f);
  EXPECT_EQ(m_saves, 0);
  EXPECT_TRUE(Logged(m_log, "layouts.Load Intermediate01")) << "the linked close-up's layout";
  EXPECT_TRUE(Logged(m_log, "map.VisitScene 0"));
  EXPECT_EQ(m_hud.currentLocation, 0);

  Node("Key").visible = false;
  m_world->SetSceneObjectState(0, uint32_t(Node("Key").index), 0, 1);
  m_scene->LoadScene(1);
  EXPECT_EQ(m_saves, 0) << "not in the frame of the click";
  m_scene->UpdateScene(0.02f);
  EXPECT_EQ(m_saves, 1);
  EXPECT_EQ(Profile().location, 1u);
  EXPECT_TRUE(Logged(m_log, "layouts.Unload Scene01"));
  EXPECT_TRUE(Logged(m_log, "layouts.Unload Intermediate01"));
  EXPECT_TRUE(Logged(m_log, "layouts.Load Scene02"));
  EXPECT_NE(Profile().progress.last, 0) << "the progress block went into the profile";
  EXPECT_EQ(Profile().progress.sceneObjects[0].firstCount, 1u) << "with the taken key's record";
  m_scene->LoadScene(999);
  EXPECT_EQ(m_scene->GetCurrentLocation(), 0u) << "a location outside the story is the first";
}

TEST_F(SceneTest, TheAmbientLoopChangesWithItsNameAndGoesOnWhenTheNameStays) {
  Build({"amb_house", "amb_woods"});
  m_scene->LoadScene(0);
  const int32_t house = m_bank->FindSound("amb_house");
  ASSERT_NE(house, -1);
  EXPECT_EQ(m_scene->GetAmbientSlot(), house);
  EXPECT_EQ(m_hud.ambientSlot, house);
  EXPECT_TRUE(Playing("amb_house"));
  for (uint32_t location : {0u, 1u}) {
    m_scene->LoadScene(location);
    EXPECT_EQ(m_scene->GetAmbientSlot(), house);
    EXPECT_TRUE(Playing("amb_house")) << "location " << location;
  }
  m_scene->LoadScene(2);
  EXPECT_EQ(m_scene->GetAmbientSlot(), m_bank->FindSound("amb_woods"));
  EXPECT_FALSE(Playing("amb_house"));
  EXPECT_TRUE(Playing("amb_woods"));
}

TEST_F(SceneTest, ASavedOpenScreenIsReopenedAndWordsOutOfRangeCountAsNone) {
  const struct {
    uint32_t closeUp, hiddenObject, miniGame;
    int32_t mode;
    const char* opened;  // the log entry, or ""
  } kCases[] = {
      {0, 34, 2, kSceneModeCloseUp, "closeUp.Open 0"},
      {kNoCloseUp, 34, 2, kSceneModeHiddenObjects, "hidden.Open 34"},
      {kNoCloseUp, kNoLocation, 2, kSceneModeMiniGame, "game.Open 2"},
      {kNoCloseUp, kNoLocation, kNoMiniGame, kSceneModeLocation, ""},
      {31, 5, 12, kSceneModeLocation, ""},
      {1000, 1000, 1000, kSceneModeLocation, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "close-up " << c.closeUp << " hidden " << c.hiddenObject << " game "
                                    << c.miniGame);
    m_log.clear();
    Profile().closeUp = c.closeUp;
    Profile().hiddenObject = c.hiddenObject;
    Profile().miniGame = c.miniGame;
    Build();
    m_scene->LoadScene(0);
    EXPECT_EQ(m_scene->GetMode(), c.mode);
    int opened = 0;
    for (const std::string& entry : m_log) opened += entry.find(".Open") != std::string::npos;
    EXPECT_EQ(opened, *c.opened ? 1 : 0);
    if (*c.opened) {
      EXPECT_TRUE(Logged(m_log, c.opened));
    }
    if (c.mode == kSceneModeLocation) continue;
    m_scene->LoadScene(1);
    EXPECT_EQ(m_scene->GetCurrentLocation(), 0u) << "no change of location under an open screen";
    EXPECT_EQ(m_saves, 0);
  }
}

TEST_F(SceneTest, TheFirstObjectListHoldingTheNameDecidesAndANameFoundNowhereHolds) {
  const std::string twin = Object("Twin", "A", "Twin");
  SSceneText second;
  second.name = "S02";
  second.objects = twin;
  Build();
  m_world = std::make_unique<CMap>(false);
  m_world->Load(World({FirstLocation(), second.Text()},
                      "<Intermediate><Objects>" + Object("Twin", "B", "Twin") + Object("Only", "C", "Only") +
                          "</Objects><MiniGames/><Dialogs/><DiaryEntries/></Intermediate>\n"));
  SSceneParts parts;
  parts.world = m_world.get();
  parts.save = m_save.get();
  CScene scene(std::move(parts));
  const struct {
    const char* object;
    const char* state;
    bool holds;
  } kCases[] = {
      {"Lamp", "Off", true},  {"Lamp", "Lit", false},  {"Lamp", "!Lit", true}, {"Lamp", "!Off", false},
      {"Twin", "A", true},    {"Twin", "B", false},    {"Only", "C", true},    {"Only", "!C", false},
      {"Nowhere", "X", true}, {"Nowhere", "!X", true},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(scene.ConditionsHold({{c.object, c.state}}), c.holds) << c.object << " " << c.state;
  EXPECT_FALSE(scene.ConditionsHold({{"Lamp", "Off"}, {"Twin", "B"}})) << "every condition must hold";

  SCondition picked;
  picked.object = "Key";
  picked.kind = EConditionKind::Picked;
  picked.picked = false;
  EXPECT_TRUE(scene.StoryConditionsHold({picked}));
  picked.picked = true;
  EXPECT_FALSE(scene.StoryConditionsHold({picked}));
  SCondition state;
  state.object = "Lamp";
  state.state = "!Lit";
  EXPECT_FALSE(scene.StoryConditionsHold({state})) << "no negation for dialogs";
}

// A story line over the location ends at the second click; a click in the diary or the map is theirs.
TEST_F(SceneTest, ClicksInTheLocationCountTowardsSkippingTheLine) {
  const struct {
    int32_t hudMode;
    int counted;
  } kCases[] = {{0, 2}, {kHudModeDiary, 0}, {kHudModeMap, 0}};
  for (const auto& c : kCases) {
    Build();
    m_scene->LoadScene(0);
    m_hud.mode = c.hudMode;
    m_dialog.skipClicks = 0;
    Click(kNowhere);
    Frame(kNowhere, false);
    Click(kNowhere);
    EXPECT_EQ(m_dialog.skipClicks, c.counted) << "display mode " << c.hudMode;
  }
}

TEST_F(SceneTest, HoveringALinkOpensItForGoodOnceItsConditionsHold) {
  Build();
  m_scene->LoadScene(0);
  SExit& toSecond = First().exits[0];
  Frame(kLinks[0], false);
  EXPECT_FALSE(toSecond.open) << "the lamp is not lit";
  EXPECT_EQ(m_cursor.last.exitTarget, 0) << "nothing to take: the current location";
  First().objects[0].state = "Lit";
  Frame(kNowhere, false);
  EXPECT_FALSE(toSecond.open) << "opens under the cursor only";
  Frame(kLinks[0], false);
  EXPECT_TRUE(toSecond.open);
  EXPECT_EQ(m_cursor.last.exitTarget, 1);
  First().objects[0].state = "Off";
  Frame(kLinks[0], false);
  EXPECT_EQ(m_cursor.last.exitTarget, 1) << "stays open";

  SExit& toSearch = First().exits[1];
  toSearch.open = false;  // its hidden-object scene is done
  toSearch.second = true;
  Frame(kLinks[1], false);
  EXPECT_FALSE(toSearch.open);
  Frame(kLinks[2], false);
  EXPECT_TRUE(First().closeUps[0].open);
  EXPECT_EQ(m_cursor.last.closeUp, 0);

  // A solved puzzle's link as a saved game gives it back, shut and done, stays shut though its
  // conditions hold; one not done opens.
  SMiniGameLink& toGame = First().miniGames[0];
  toGame.second = true;
  Frame(kLinks[3], false);
  EXPECT_FALSE(toGame.open);
  toGame.second = false;
  Frame(kLinks[3], false);
  EXPECT_TRUE(toGame.open);
}

TEST_F(SceneTest, ClickingTakesPickableAndClueObjectsAndDragsTheDraggableOne) {
  const struct {
    const char* object;
    bool visible;
    int32_t mode;
    bool inventory, pickupEffects;
  } kCases[] = {
      {"Key", true, kSceneModeItemFound, true, false},
      {"Letter", true, kSceneModeItemFound, false, true},
      {"Key", false, kSceneModeLocation, false, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.object << (c.visible ? " shown" : " hidden"));
    Build();
    m_scene->LoadScene(0);
    m_log.clear();
    m_hud.SetBarFrozen(false);
    Node(c.object).visible = c.visible;
    m_scene->ClickObject(c.object);
    EXPECT_EQ(m_scene->GetMode(), c.mode);
    EXPECT_EQ(Logged(m_log, std::string("frame.Show ") + c.object), c.visible);
    EXPECT_EQ(Logged(m_log, std::string("hud.AddItem ") + c.object), c.inventory);
    EXPECT_EQ(Logged(m_log, "hud.PlayPickupEffects"), c.pickupEffects);
    EXPECT_EQ(m_hud.inFrame, c.visible ? c.object : "") << "what the item frame presents, the bar standing still";
    EXPECT_FALSE(Node(c.object).visible);
    SObjectStateList& states = First().live.objectStates;
    const bool recorded =
        !states.empty() && states.back().id == uint32_t(Node(c.object).index) && states.back().removed == 1;
    EXPECT_EQ(recorded, c.visible);
  }

  Build();
  m_scene->LoadScene(0);
  m_scene->ClickObject("Bucket");
  EXPECT_EQ(m_scene->GetDraggedObject(), "Bucket");
  EXPECT_FALSE(Node("root/Bucket_1").visible);
  EXPECT_TRUE(Shown(m_dragNode));
  m_scene->UpdateScene(0.02f);
  EXPECT_EQ(m_scene->GetRenderView().draggedItem, "Bucket");
  Node("root/BucketTaken").visible = true;
  Click(kNowhere);
  EXPECT_EQ(m_scene->GetDraggedObject(), "");
  EXPECT_FALSE(Shown(m_dragNode));
  EXPECT_TRUE(Node("root/Bucket_1").visible) << "the bucket is back";
}

TEST_F(SceneTest, AnItemUsedOnAnObjectRunsItsActionOrTellsTheWrongAction) {
  Build();
  m_scene->LoadScene(0);
  m_log.clear();
  m_scene->UseItemOnScene("Door", "Key");
  EXPECT_EQ(First().objects[4].state, "Closed") << "the lamp is not lit";
  EXPECT_FALSE(Logged(m_log, "hud.ShowNote WRONG_ACTION")) << "an action for the key exists";
  m_scene->UseItemOnScene("Door", "Rope");
  EXPECT_TRUE(Logged(m_log, "hud.ShowNote WRONG_ACTION"));
  m_log.clear();
  m_scene->UseItemOnScene("Glow", "Rope");
  EXPECT_TRUE(m_log.empty()) << "a plain object says nothing";

  m_scene->UseItemOnScene("Lamp", "Click");
  EXPECT_EQ(First().objects[0].state, "Lit");
  EXPECT_FALSE(Node("LampOff").visible);
  EXPECT_TRUE(Node("LampLit").visible);
  EXPECT_TRUE(Node("Glow").visible) << "the action's effect";
  EXPECT_FALSE(m_layouts.Node("Intermediate01", "Drawer")->visible) << "an effect on a close-up's object";
  ASSERT_EQ(m_world->CloseUp(0).live.objectStates.size(), 1u);
  EXPECT_EQ(m_world->CloseUp(0).live.objectStates[0].visible, 0);
  EXPECT_TRUE(Logged(m_log, "hud.ShowNote S01_Lamp_Note"));
  EXPECT_TRUE(Logged(m_log, "map.SetMarkerVisible Marker1 1"));
  EXPECT_TRUE(Logged(m_log, "hud.RemoveItem Click"));
  EXPECT_TRUE(First().exits[0].open) << "the exits are tested again";

  m_scene->UseItemOnScene("Door", "Key");
  EXPECT_EQ(First().objects[4].state, "Open");
  EXPECT_TRUE(Node("DoorOpen").visible);
  EXPECT_TRUE(Logged(m_log, "hud.RemoveItem Key"));
}

// An effect on an object of a place whose layout is not loaded is not lost: the layout is
// loaded for the change, which is recorded, and the place shows it on its next visit.
TEST_F(SceneTest, AnEffectOnAPlaceNotShownIsKeptForItsNextVisit) {
  Build();
  SSceneObject floor;
  floor.name = "Floor";
  floor.sprite = "Floor";
  m_world->Scene(1).objects.push_back(floor);
  First().objects[0].actions[0].effects.push_back({"Floor", false});
  m_scene->LoadScene(0);
  m_log.clear();
  m_scene->UseItemOnScene("Lamp", "Click");
  EXPECT_TRUE(Logged(m_log, "layouts.Load Scene02"));
  EXPECT_TRUE(Logged(m_log, "layouts.Unload Scene02")) << "the layout goes again";
  ASSERT_EQ(m_world->Scene(1).live.objectStates.size(), 1u);
  EXPECT_EQ(m_world->Scene(1).live.objectStates[0].visible, 0);
  m_layouts.Node("Scene02", "Floor")->visible = true;  // as a fresh load finds it
  m_scene->LoadScene(1);
  EXPECT_FALSE(m_layouts.Node("Scene02", "Floor")->visible);
}

TEST_F(SceneTest, AClickTakesAnExitBeforeAMiniGameBeforeACloseUp) {
  const struct {
    bool exit, game, closeUp, hidden;
    uint32_t location;
    int32_t mode;
  } kCases[] = {
      {true, true, true, false, 1, kSceneModeLocation},    {false, true, true, false, 0, kSceneModeMiniGame},
      {false, false, true, false, 0, kSceneModeCloseUp},   {false, false, false, true, 0, kSceneModeHiddenObjects},
      {false, false, false, false, 0, kSceneModeLocation},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.exit << c.game << c.closeUp << c.hidden);
    Build();
    const Vector2 spot{0.5f, -0.9f};
    static_cast<Ombrel::SLayoutBox&>(Node("ToS02")).position = c.exit ? spot : kLinks[0];
    static_cast<Ombrel::SLayoutBox&>(Node("ToGame")).position = c.game ? spot : kLinks[3];
    static_cast<Ombrel::SLayoutBox&>(Node("ToCloseUp")).position = c.closeUp ? spot : kLinks[2];
    static_cast<Ombrel::SLayoutBox&>(Node("ToHO")).position = c.hidden ? spot : kLinks[1];
    m_scene->LoadScene(0);
    First().objects[0].state = "Lit";
    m_captureNode.Hide();
    const int notesEnded = m_hud.notesEnded;
    Click(spot);
    EXPECT_EQ(m_scene->GetCurrentLocation(), c.location);
    EXPECT_EQ(m_scene->GetMode(), c.mode);
    EXPECT_EQ(Shown(m_captureNode), c.mode != kSceneModeLocation);
    if (c.mode == kSceneModeCloseUp) {
      EXPECT_GT(m_hud.notesEnded, notesEnded) << "the location's note does not follow into the close-up";
    }
  }
  EXPECT_EQ(m_hud.currentLocation, 0);
}

TEST_F(SceneTest, AClickOverTheHudTakesObjectsButNeverNavigates) {
  Build();
  m_hud.overHud = true;
  static_cast<Ombrel::SLayoutBox&>(Node("ToCloseUp")).position = kKey;
  m_scene->LoadScene(0);
  Click(kKey);
  EXPECT_TRUE(Logged(m_log, "hud.AddItem Key"));
  EXPECT_FALSE(Logged(m_log, "closeUp.Open 0"));
}

TEST_F(SceneTest, TheDiaryHoldsEveryClickBackAndClosingItShowsTheCapture) {
  Build();
  m_scene->LoadScene(0);
  m_hud.mode = kHudModeDiary;
  m_upperNode.Show();
  m_captureNode.Hide();
  Click(kKey);
  Click(kLinks[2]);
  EXPECT_EQ(m_scene->GetMode(), kSceneModeLocation);
  EXPECT_FALSE(Logged(m_log, "frame.Show Key"));
  EXPECT_FALSE(First().closeUps[0].open) << "no hover test under the diary";
  EXPECT_TRUE(m_scene->IsOverlayOpen());
  EXPECT_TRUE(m_scene->GetRenderView().overlayOpen);

  m_hud.closeDiary = true;
  Frame(kNowhere, false);
  EXPECT_FALSE(m_scene->IsOverlayOpen());
  EXPECT_FALSE(Shown(m_upperNode));
  EXPECT_TRUE(Shown(m_captureNode));

  Build();
  Profile().closeUp = 0;
  m_scene->LoadScene(0);
  m_hud.mode = kHudModeMap;
  m_upperNode.Show();
  m_captureNode.Hide();
  m_log.clear();
  Frame(kNowhere, true);
  EXPECT_FALSE(Logged(m_log, "closeUp.ReadInput")) << "the close-up samples nothing under the map";
  m_hud.map.state = 0;
  Frame(kNowhere, false);
  EXPECT_EQ(m_hud.mode, 0) << "a closed map gives the display its previous mode";
  EXPECT_FALSE(Shown(m_upperNode));
  EXPECT_TRUE(Shown(m_captureNode));
  Frame(kNowhere, true);
  EXPECT_TRUE(Logged(m_log, "closeUp.ReadInput"));
}

TEST_F(SceneTest, TheClosingSequenceOpensItsDialogsOnTimeAndTheLastOnlyOnce) {
  Build();
  m_scene->LoadScene(0);
  m_scene->UseItemOnScene("Chair", "Click");
  EXPECT_TRUE(m_scene->IsEnding());
  EXPECT_EQ(Profile().gameMode, 6u);
  const float dt = 0.02f;
  float second = -1.0f;
  bool ended = false;
  int frames = 0;
  for (; frames < 2000 && !ended; ++frames) {
    m_dialog.state = 0;  // every dialog is over by the next frame
    ended = Frame(kNowhere, false, dt);
    if (second < 0.0f && Logged(m_log, "dialog.Open S35_2_Dialog")) second = float(frames + 1) * dt;
  }
  EXPECT_TRUE(ended);
  EXPECT_NEAR(second, 13.44f, 2 * dt);
  EXPECT_EQ(CountLogged(m_log, "dialog.Open S35_3_Dialog"), 1);
  EXPECT_NEAR(float(frames) * dt, 20.0f, 2 * dt);
}

TEST_F(SceneTest, AnAmbientOneShotSoundsEveryFourSecondsAlsoInACloseUp) {
  Build({"out_5", "in_5"}, 4);
  m_scene->LoadScene(0);
  for (int i = 0; i < 4; ++i) Frame(kNowhere, false, 1.0f);
  EXPECT_FALSE(Playing("out_5"));
  Frame(kNowhere, false, 1.0f);
  EXPECT_TRUE(Playing("out_5")) << "location 1 is outside: out_ and random 4 + 1";
  m_bank->StopAllExcept(-1, -1);
  Click(kLinks[2]);
  ASSERT_EQ(m_scene->GetMode(), kSceneModeCloseUp);
  for (int i = 0; i < 4; ++i) Frame(kNowhere, false, 1.0f);
  EXPECT_FALSE(Playing("out_5"));
  Frame(kNowhere, false, 1.0f);
  EXPECT_TRUE(Playing("out_5"));
}

TEST_F(SceneTest, TheTutorialQuestionIsAskedOnceAndANoTurnsTheTutorialOff) {
  for (bool yes : {true, false}) {
    SCOPED_TRACE(yes ? "yes" : "no");
    m_log.clear();
    m_question = CFakeQuestion(&m_log);
    m_withTutorials = true;
    Profile().tutorialEnabled = 1;
    Profile().tutorialStep = 0;
    Build();
    m_scene->LoadScene(0);
    m_captureNode.Hide();
    Frame(kNowhere, false);
    EXPECT_EQ(m_scene->GetMode(), kSceneModeTutorial);
    EXPECT_TRUE(Shown(m_captureNode));
    Click(kKey);
    EXPECT_FALSE(Logged(m_log, "frame.Show Key")) << "the question holds the location back";
    m_question.Answer(yes);
    Frame(kNowhere, false);
    EXPECT_EQ(m_scene->GetMode(), kSceneModeLocation);
    EXPECT_EQ(Profile().tutorialEnabled, yes ? 1 : 0);
    EXPECT_EQ(Logged(m_log, "tutorials.LoadProgress"), !yes);
    Frame(kNowhere, false);
    EXPECT_EQ(CountLogged(m_log, "question.Open"), 1);
  }
}

TEST_F(SceneTest, TheTutorialHintLetsOnlyAClickOnItsTargetThrough) {
  const struct {
    int32_t state;
    const char* target;
    bool taken;
    int32_t stateAfter;
  } kCases[] = {
      {ITutorials::kFadingIn, "Key", false, ITutorials::kFadingIn},
      {ITutorials::kShown, "Door", false, ITutorials::kShown},
      {ITutorials::kShown, "Key", true, ITutorials::kFadingOut},
      {ITutorials::kDone, "Door", true, ITutorials::kDone},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "state " << c.state << " target " << c.target);
    m_log.clear();
    m_withTutorials = true;
    m_question.answered = true;
    Build();
    m_scene->LoadScene(0);
    m_tutorials.state = c.state;
    m_tutorials.target = c.target;
    Click(kKey);
    EXPECT_EQ(Logged(m_log, "frame.Show Key"), c.taken);
    EXPECT_EQ(m_tutorials.state, c.stateAfter);
  }
}

TEST_F(SceneTest, HintSparklesAndTheHiddenObjectMarkerBelongToGameModesOneAndThree) {
  MP::CManager* manager = MP::CManager::CreateInstance();
  for (const char* name : {"Spark", "HiddenObjectScene"}) gametest::AddBurst(*manager, name);
  ASSERT_NE(manager->FindEmitter("spark"), nullptr);
  MP::CEmitter* marker = manager->FindEmitter("hiddenobjectscene");
  ASSERT_NE(marker, nullptr);
  for (uint32_t mode : {0u, 1u, 2u, 3u, 4u}) {
    SCOPED_TRACE(testing::Message() << "game mode " << mode);
    CEmitterPool pool(4, "SceneHints", *manager->FindEmitter("spark"));
    CEmitterGroup group;
    group.Add(marker);
    m_hints = &pool;
    m_emitters = &group;
    Profile().gameMode = mode;
    Build();
    m_scene->LoadScene(0);
    const bool hints = mode == 1 || mode == 3;
    int running = 0;
    for (uint32_t i = 0; i < pool.GetCount(); ++i) running += pool.GetEmitter(i)->GetState() == MP::CEmitter::kRunning;
    EXPECT_EQ(running, hints ? 2 : 0) << "the lamp and the door are interactive and shown";
    EXPECT_EQ(First().objects[0].emitter != nullptr, hints);
    EXPECT_EQ(marker->GetState() == MP::CEmitter::kRunning, hints) << "the open exit into the hidden-object scene";
    m_scene->UseItemOnScene("Lamp", "Click");
    const MP::CEmitter* sparkle = First().objects[0].emitter;
    EXPECT_FALSE(sparkle && sparkle->GetState() == MP::CEmitter::kRunning) << "a lit lamp is no longer interactive";
    m_scene.reset();
    marker->StopEmitter();
  }
  m_hints = nullptr;
  m_emitters = nullptr;
  MP::CManager::DeleteInstance();
}

// An effect started on entry runs ahead by its object's seconds, but never by more than a
// minute: a damaged description would stall the entry or overflow the step count.
TEST_F(SceneTest, AStartEffectRunsAheadOnEntryWithinAMinute) {
  MP::CManager* manager = MP::CManager::CreateInstance();
  MP::CEmitter* spark = gametest::AddBurst(*manager, "Spark");
  ASSERT_NE(spark, nullptr);
  Build();
  SSceneObject& glow = First().objects[5];
  glow.emitter = spark;
  glow.effectStart = true;
  glow.skipSeconds = 2000000000;
  m_scene->LoadScene(0);
  EXPECT_TRUE(hmtest::Reported("Object \"Glow\" runs its effect 2000000000 seconds ahead; it runs 60"))
      << hmtest::CReportScope::All();
  EXPECT_EQ(glow.skipSeconds, 60);
  EXPECT_EQ(spark->GetState(), MP::CEmitter::kRunning);
  m_scene.reset();
  MP::CManager::DeleteInstance();
}

// A line, a parabola or a swing that an action starts moves from where its object stands.
TEST_F(SceneTest, AnActionsMovingAnimationStartsFromItsObjectsPlace) {
  Build();
  SSceneObject& chair = First().objects[6];
  SAnimationDesc slide;
  slide.kind = EAnimationKind::Line;
  slide.name = "Slide";
  slide.length = 1.0f;
  slide.targetPos = {0.0f, 0.0f};
  chair.animations = {slide};
  chair.actions[0].effects.clear();
  chair.actions[0].animation = "Slide";
  m_scene->LoadScene(0);
  m_scene->UseItemOnScene("Chair", "Click");
  m_scene->UpdateScene(0.5f);
  const Vector2 at = static_cast<Ombrel::SLayoutBox&>(Node("Chair")).position;
  EXPECT_NEAR(at.x, 0.3f, 1e-4f) << "half way from (0.6, 0.6) to the origin";
  EXPECT_NEAR(at.y, 0.3f, 1e-4f);
}

// The renderer leaves the location out under a close-up that is open, or a search that is not
// fading, whose last drawing hid the whole screen, and under a puzzle that is not fading.
TEST_F(SceneTest, TheRendererLearnsWhenAnOpenScreenHidesTheLocation) {
  enum EScreen { kCloseUp, kSearch, kPuzzle };
  const struct {
    const char* what;
    EScreen screen;
    int32_t state;  // the close-up's state, or the search's or puzzle's fade state
    bool covers, hidden;
  } kCases[] = {
      {"a close-up that hides the screen", kCloseUp, 3, true, true},
      {"a close-up that does not", kCloseUp, 3, false, false},
      {"a search over the screen", kSearch, 0, true, true},
      {"a search fading in", kSearch, 1, true, false},
      {"a search fading out", kSearch, 2, true, false},
      {"a search with the screen's edges free", kSearch, 0, false, false},
      {"a puzzle in play", kPuzzle, 3, false, true},
      {"a puzzle fading in", kPuzzle, 1, false, false},
      {"a puzzle fading out", kPuzzle, 2, false, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    Profile().closeUp = c.screen == kCloseUp ? 0 : kNoCloseUp;
    Profile().hiddenObject = c.screen == kSearch ? 34 : kNoLocation;
    Profile().miniGame = c.screen == kPuzzle ? 2 : kNoMiniGame;
    m_closeUp.openState = c.state;
    m_closeUp.covers = m_hidden.covers = c.covers;
    m_hidden.fadeState = c.state;
    m_game.fadeState = c.state;
    Build();
    m_scene->LoadScene(0);
    m_scene->UpdateScene(0.02f);
    EXPECT_EQ(m_scene->GetRenderView().coveredByOverlay, c.hidden);
  }
}

TEST_F(SceneTest, TheRendererSeesTheModeAndTheLocationsSpritesAsTheyStand) {
  Build();
  m_scene->LoadScene(0);
  m_scene->UpdateScene(0.02f);
  const SSceneView& view = m_scene->GetRenderView();
  ASSERT_NE(view.objects, nullptr);
  EXPECT_EQ(view.objects->size(), m_layouts.Find("Scene01")->GetCount());
  EXPECT_EQ(view.location, &First());
  auto lampLit = [&] {
    for (const SDecorationObject& object : *view.objects)
      if (object.name == "LampLit") return object.enabled;
    return false;
  };
  EXPECT_FALSE(lampLit());
  m_scene->UseItemOnScene("Lamp", "Click");
  m_scene->ClickObject("Key");
  m_scene->UpdateScene(0.02f);
  EXPECT_TRUE(lampLit());
  EXPECT_EQ(view.mode, kSceneModeItemFound);
}

TEST_F(SceneTest, ACrossFadingSpriteGivesTheRendererItsTwoFramesFromTheLiveLayout) {
  Build();
  Ombrel::CTextureAnimation frames;
  frames.Init(Ombrel::CTextureAnimation::kFiles, 4);
  for (int i = 0; i < 4; ++i) frames.SetFrame(i, nullptr, float(i) / 10.0f, 0.0f, float(i + 1) / 10.0f, 1.0f);
  auto fire = std::make_unique<Ombrel::SLayoutAnimatedSprite>();
  fire->index = int32_t(m_layouts.Find("Scene01")->GetCount());
  fire->name = "Fire";
  fire->visible = true;
  fire->size = {0.5f, 0.25f};
  fire->animation = &frames;
  m_layouts.Find("Scene01")->AddItem(std::move(fire));
  m_scene->LoadScene(0);
  auto* live = static_cast<Ombrel::SLayoutAnimatedSprite*>(m_layouts.Node("Scene01", "Fire"));
  live->animation->SetProgress(0.2f);  // frame 0, four fifths through: fading into frame 1
  SBlendFrame pair[2];
  ASSERT_TRUE(m_scene->GetRenderView().blendFrames("Fire", pair));
  EXPECT_LT(pair[0].colour.a, 128);
  EXPECT_GT(pair[1].colour.a, 0);
  EXPECT_FLOAT_EQ(pair[1].texMin.x, 0.1f);
  EXPECT_FLOAT_EQ(pair[1].texMax.x, 0.2f);
  EXPECT_FLOAT_EQ(pair[0].size.x, 128.0f);
  EXPECT_FALSE(m_scene->GetRenderView().blendFrames("LampOff", pair)) << "a plain sprite";
  m_scene->LoadScene(1);
  EXPECT_FALSE(m_scene->GetRenderView().blendFrames("Fire", pair)) << "the next location has none";
  EXPECT_EQ(live->animation, &frames) << "leaving a location deletes its sprites' copies";

  // The playing state is left in a location: its layout lets go of its copies as well.
  m_scene->LoadScene(0);
  ASSERT_NE(live->animation, &frames);
  m_scene->StoreSceneProgress();
  m_scene->ReleaseLayout();
  EXPECT_EQ(live->animation, &frames);
  EXPECT_FALSE(m_scene->GetRenderView().blendFrames) << "nothing left to draw from";
}

TEST_F(SceneTest, MissingLayoutsAndSoundsAreReportedByNameAndNothingBreaks) {
  Ombrel::CResourceManager resources;
  resources.RegisterLoader(new Ombrel::CResLayout2DLoader(&resources), "Layout2D");
  CResourceLayoutShelf shelf(&resources);
  EXPECT_EQ(shelf.Load("Scene01"), nullptr);
  EXPECT_NE(hmtest::CReportScope::Last().find("\"Scene01\" of the type \"Layout2D\""), std::string::npos)
      << hmtest::CReportScope::All();
  hmtest::Reports().clear();
  shelf.Unload("Scene02");
  EXPECT_EQ(shelf.GetLoaded("Scene02"), nullptr);
  EXPECT_TRUE(hmtest::Reports().empty()) << "unloading what is not there passes silently";

  Build({"amb_house"});
  SSceneParts parts;
  parts.world = m_world.get();
  parts.layouts = &shelf;
  parts.save = m_save.get();
  parts.sounds = m_bank.get();
  CScene scene(std::move(parts));
  scene.LoadScene(0);
  scene.LoadScene(1);
  scene.ProcessSceneInput(0.02f, {});
  scene.UpdateScene(0.02f);
  scene.UseItemOnScene("Lamp", "Click");
  EXPECT_EQ(scene.GetViewLayout(), nullptr);
  EXPECT_EQ(scene.GetCurrentLocation(), 1u);
  hmtest::Reports().clear();
  Build({"amb_house"});
  m_scene->LoadScene(0);
  m_world->Scene(0).objects[1].sound = "no_such_sound";
  m_world->Scene(0).objects[1].clue = true;
  m_world->Scene(0).objects[1].pickable = false;
  m_scene->ClickObject("Key");
  EXPECT_NE(hmtest::CReportScope::All().find("Sound \"no_such_sound\""), std::string::npos);
}

// A location word that names a search slot, or nothing of the chapter, enters the first
// location: a search slot has no exits and the player would be stuck in it.
TEST_F(SceneTest, ASearchSlotIsNeverEnteredAsALocation) {
  Build();
  for (uint32_t location : {33u, 56u, 57u, kNoLocation}) {
    SCOPED_TRACE(location);
    m_scene->LoadScene(1);
    m_scene->LoadScene(location);
    EXPECT_EQ(m_scene->GetCurrentLocation(), 0u);
  }
}

TEST_F(SceneTest, TheBonusChapterLeavesFiveCloseUpsAndFourHiddenObjectScenes) {
  m_bonus = true;
  Build();
  m_scene->LoadScene(0);
  m_log.clear();
  m_scene->LoadScene(1);
  int closeUps = 0;
  int scenes = 0;
  for (const std::string& entry : m_log) {
    closeUps += entry.rfind("layouts.Unload Intermediate", 0) == 0;
    scenes += entry.rfind("layouts.Unload Scene", 0) == 0;
  }
  EXPECT_EQ(closeUps, 5);
  EXPECT_EQ(scenes, 1 + 4) << "the location left and the four hidden-object scenes";
  m_scene->LoadScene(4);
  EXPECT_FALSE(m_scene->LoadNextScene()) << "the last location of the chapter";
  EXPECT_EQ(m_scene->GetCurrentLocation(), 4u);
  m_scene->LoadScene(0);
  EXPECT_FALSE(m_scene->LoadPreviousScene());
  EXPECT_TRUE(m_scene->LoadNextScene());
  EXPECT_EQ(m_scene->GetCurrentLocation(), 1u);
}

TEST_F(SceneTest, TheBonusChapterEndsAfterItsLastVoiceTheDiaryAndItsLastDialog) {
  m_bonus = true;
  Profile().closeUp = 0;
  Build({"story_031", "story_032"});
  m_scene->LoadScene(0);
  ASSERT_EQ(m_scene->GetMode(), kSceneModeCloseUp);
  m_dialog.voice = m_bank->FindSound("story_031");
  m_dialog.state = 3;
  EXPECT_FALSE(Frame(kNowhere, false));
  EXPECT_TRUE(m_scene->IsEnding()) << "the last voice speaks in the close-up";
  EXPECT_EQ(Profile().gameMode, 7u);
  m_closeUp.open = false;
  EXPECT_FALSE(Frame(kNowhere, false));
  EXPECT_EQ(m_scene->GetMode(), kSceneModeLocation);
  EXPECT_FALSE(Frame(kNowhere, false)) << "the voice still speaks";
  EXPECT_FALSE(Logged(m_log, "hud.OpenDiary"));
  m_dialog.state = 0;
  EXPECT_FALSE(Frame(kNowhere, false));
  EXPECT_TRUE(Logged(m_log, "hud.OpenDiary"));
  EXPECT_FALSE(Frame(kNowhere, false));
  EXPECT_TRUE(Logged(m_log, "dialog.Open Collectors_5_Dialog"));
  m_dialog.voice = m_bank->FindSound("story_032");
  EXPECT_FALSE(Frame(kNowhere, false)) << "the last dialog speaks";
  m_dialog.state = 0;
  EXPECT_TRUE(Frame(kNowhere, false)) << "the last dialog is over";
}

}  // namespace
