// The main story's state over real modules and a small content folder (the pause overlay's
// content, the scene description and a capture target): its layer stack, the fades in and
// out with the events that leave the state, the pause around the overlay, and the player's
// progress stored when the state is left.

#include "Src/Game/Vey_Game.h"

#include <gtest/gtest.h>

#include "Framework/Scene/omQuickNode.h"
#include "Framework/Scene/omSceneManager.h"
#include "Framework/omAssetModule.h"
#include "Framework/omFileSystem.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omRenderModule.h"
#include "Framework/omSaveModule.h"
#include "Quor/DirectX/Quordx.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_MPManager.h"
#include "Src/World/Vey_Map.h"
#include "Src/Menu/Vey_PauseMenu.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/World/Vey_StateSetup.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Investigation/Vey_GameHelp.h"
#include "Src/Investigation/Vey_ItemFrame.h"
#include "Src/Investigation/Vey_Player.h"
#include "tests/Src/World/GameStateTestKit.h"
#include "tests/support/engine/ReportScope.h"
#include "tests/support/engine/StagedKeys.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using namespace Vey;

namespace {

constexpr int32_t kGameStateId = 4;
constexpr int32_t kGameMenuId = 2;

// The story's list over the scene description and the capture target alone.
constexpr const char* kGameResources = R"(<?xml version="1.0"?>
<Resources>
  <Directory Path="App\Configs\">
    <Buffer Name="GameInfo" FileName="GameInfo.xml"/>
  </Directory>
  <RenderTarget Name="RenderTarget" Width="64" Height="64"/>
</Resources>
)";

class GameTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (m_game && m_entered) m_game->Release();
    m_game.reset();
    m_saves.reset();
    m_modules.Stop();
  }

  // `more`: further files of the build's content, and lists the story's list includes.
  void MakeContent(const std::vector<std::string>& more = {}, const std::vector<std::string>& includes = {}) {
    m_root = gamestatetest::CopyContent(
        "game", gamestatetest::WithFiles(gamestatetest::WithFiles({"App/Configs/Common_Resources.xml",
                                                                   "App/Configs/Pause_Resources.xml",
                                                                   "App/Configs/GameInfo.xml", "Art/GUI/Cursor/Textures"},
                                                                  gamestatetest::kPauseContent),
                                         more));
    std::string resources = kGameResources;
    for (const std::string& list : includes)
      resources.insert(resources.find("</Resources>"), "  <Include Value=\"" + list + "\"/>\n");
    std::ofstream(m_root + "App/Configs/Game_Resources.xml") << resources;
  }

  // The modules the state needs, a fresh save body, and the state entered.
  void EnterGame(const std::vector<std::string>& more = {}, const std::vector<std::string>& includes = {}) {
    MakeContent(more, includes);
    ASSERT_TRUE(m_modules.Start(m_root));
    m_saves = gamestatetest::StartFreshSaves();
    ASSERT_NE(m_saves, nullptr);
    m_game = std::make_unique<CGame>(&m_application, nullptr, nullptr);
    m_game->Attach(&m_events, nullptr, kGameStateId);
    m_game->SetMenuId(m_menuId);
    m_game->Init();
    m_game->Start();
    m_entered = true;
  }

  void Frame(float dt) { gamestatetest::RunFrame(*m_game, dt); }
  void Send(int32_t type) { gamestatetest::SendEvent(m_events, type); }
  Ombrel::CSceneManager& Scene() const { return *m_modules.render->GetSceneManager(); }

  hmtest::CStagedKeys m_keys;
  hmtest::CReportScope m_reports;
  std::string m_root;
  gamestatetest::CStateModules m_modules;
  gamestatetest::CEventRecorder m_application;
  Ombrel::CEventManager m_events;
  std::unique_ptr<Ombrel::CSaveModule> m_saves;
  std::unique_ptr<CGame> m_game;
  int32_t m_menuId = kGameMenuId;
  bool m_entered = false;
};

TEST_F(GameTest, InitStacksTheLayersBelowTheSystemLayerAndLeavesOnlyTheCheckAndDebugNodesDrawn) {
  EnterGame();
  const std::vector<const char*> names = Scene().GetLayerNames();
  std::vector<std::string> order(names.begin(), names.end());
  const auto systemInfo = std::find(order.begin(), order.end(), std::string("SystemInfo"));
  ASSERT_NE(systemInfo, order.end());
  ASSERT_GE(systemInfo - order.begin(), CGame::kLayerCount);
  // Drawn in the reverse of their creation, "Start" first, right up to the system layer.
  for (int i = 0; i < CGame::kLayerCount; ++i) {
    EXPECT_EQ(*(systemInfo - 1 - i), CGame::kLayers[i]) << i;
    EXPECT_TRUE(Scene().IsLayerVisible(CGame::kLayers[i]));
  }
  for (int node = 0; node < CGame::kQuickNodeCount; ++node) {
    ASSERT_NE(m_game->GetQuickNode(CGame::EQuickNode(node)), nullptr) << node;
    const bool drawn = node == CGame::kDebugRender || node == CGame::kSceneCheck;
    EXPECT_EQ(m_game->GetQuickNode(CGame::EQuickNode(node))->IsDrawn(), drawn) << node;
  }
  ASSERT_NE(m_game->GetWorld(), nullptr);
  EXPECT_TRUE(m_game->GetWorld()->IsLoaded());
  EXPECT_NE(m_game->GetCaptureTexture(), nullptr);
  // This folder has no effect files or fonts: each is told by name, nothing
  // is made of it, and the state still runs.
  const std::string reports = hmtest::CReportScope::All();
  for (const char* told : {"Particle file \"Art\\Environments\\Scene01\\Effects\\scene01.ptc\" was not loaded",
                           "No particle emitter \"S24_Machette \"", "font \"DiaryRu\"",
                           "2-D layout \"Help\""}) {
    EXPECT_NE(reports.find(told), std::string::npos) << told;
  }
  EXPECT_EQ(m_game->GetEffects().sceneHints, nullptr);
  EXPECT_NE(m_game->GetItemFrame(), nullptr);
  EXPECT_NE(m_game->GetDialog(), nullptr);
  EXPECT_NE(m_game->GetGameHelp(), nullptr) << "kept for the puzzles even without its layout";
  EXPECT_TRUE(m_game->HasFrozenPicture());
  Frame(0.1f);
  Scene().Render();
}

TEST_F(GameTest, AFirstRunPlaysInTheFirstFreeProfileAndKeepsTheOthers) {
  EnterGame();
  const SSaveData& save = *GetSaveData();
  ASSERT_EQ(save.current, 0);
  EXPECT_STREQ(save.profiles[0].name, CGame::kDefaultProfileName);
  EXPECT_TRUE(save.profiles[0].inUse);
  EXPECT_FALSE(save.profiles[1].inUse);
}

TEST_F(GameTest, TheFadeInTakesItsFramesBeforeTheLocationPlays) {
  const struct {
    float dt;
    std::vector<float> alphas;  // applied in the frames of the fade
  } cases[] = {{0.1f, {0.4f, 0.8f, 1.0f}}, {0.25f, {1.0f}}, {0.3f, {1.0f}}};
  for (const auto& c : cases) {
    TearDown();
    m_entered = false;
    EnterGame();
    Frame(0.0f);  // the music starts
    for (float alpha : c.alphas) {
      Frame(c.dt);
      EXPECT_FLOAT_EQ(m_game->GetSceneAlpha(), alpha) << c.dt;
    }
    EXPECT_GE(m_game->GetFadeIn(), 1.0f) << c.dt;
    EXPECT_TRUE(m_game->IsRecaptureRequested()) << c.dt;
  }
}

TEST_F(GameTest, QuittingFadesOutAfterTheFadeInAndThenLeavesForTheMenuOrTheProgram) {
  for (int32_t menu : {kGameMenuId, -1}) {
    TearDown();
    m_entered = false;
    m_application.events.clear();
    m_menuId = menu;
    EnterGame();
    Frame(0.1f);
    EXPECT_FALSE(m_game->IsMusicStartPending());
    Send(CGame::kEventNone);  // starts the state again: its music with it
    EXPECT_TRUE(m_game->IsMusicStartPending());
    Send(CGame::kEventClose);  // the pause menu's quit, during the fade-in
    Frame(0.1f);
    Frame(0.1f);
    EXPECT_FLOAT_EQ(m_game->GetSceneAlpha(), 1.0f) << "the fade-in ends first";
    Frame(0.1f);
    EXPECT_FLOAT_EQ(m_game->GetSceneAlpha(), 0.6f);
    EXPECT_TRUE(m_application.events.empty());
    Frame(0.1f);
    Frame(0.1f);
    EXPECT_FLOAT_EQ(m_game->GetSceneAlpha(), 0.0f);
    using Event = std::pair<int32_t, int32_t>;
    const std::vector<Event> expected =
        menu == -1 ? std::vector<Event>{{Ombrel::AE_EXIT, -1}}
                   : std::vector<Event>{{Ombrel::AE_ADD_STATE, kGameMenuId}, {Ombrel::AE_STATE_FINISHED, -1}};
    EXPECT_EQ(m_application.events, expected) << menu;
  }
}

// The story's pause menu opens its options box over the frozen game, and the box answers the
// left button the playing state binds for the pause menu: its OK closes it back to the list.
TEST_F(GameTest, ThePauseMenuOpensTheStorysOptionsBoxWhichTakesThePauseMenusClicks) {
  EnterGame();
  for (int i = 0; i < 4; ++i) Frame(0.1f);
  CPauseMenu* pause = m_game->GetPauseMenu();
  ASSERT_NE(pause, nullptr) << hmtest::CReportScope::All();
  Send(CGame::kEventPause);
  for (int i = 0; i < 6; ++i) Frame(0.1f);
  ASSERT_EQ(pause->GetState(), CPauseMenu::kOpen);
  pause->ShowOptions();
  for (int i = 0; i < 6; ++i) Frame(0.1f);
  ASSERT_EQ(pause->GetState(), CPauseMenu::kOptions) << "the box is there";

  Ombrel::CLayout2D* options = FindStateLayout("Options");
  ASSERT_NE(options, nullptr);
  const Ombrel::SLayoutBox* ok = FindLayoutBox(*options, "root/Buttons/Button0");
  ASSERT_NE(ok, nullptr);
  const Vector2 at = ToVirtualScreen(ok->position);
  for (bool down : {false, true, false}) {
    hmtest::CStagedKeys::Hold(CGameBase::kVkLeftButton, down);
    Ombrel::GetActiveInput()->Update(0.1f);
    Ombrel::GetActiveInput()->GetCursor(0)->SetPosition(at.x, at.y);
    m_game->ProcessInput(0.1f);
    m_game->Update(0.1f);
  }
  for (int i = 0; i < 6; ++i) Frame(0.1f);
  EXPECT_EQ(pause->GetState(), CPauseMenu::kOpen) << "OK closed the box";
  EXPECT_TRUE(m_game->IsPaused());
}

TEST_F(GameTest, PauseFreezesTheScreenAndResumeBringsTheLiveLayersBack) {
  EnterGame();
  for (int i = 0; i < 4; ++i) Frame(0.1f);
  ASSERT_NE(m_game->GetPauseMenu(), nullptr) << hmtest::CReportScope::All();
  ASSERT_NE(m_game->GetScene(), nullptr);
  ASSERT_NE(m_game->GetCursorSet(), nullptr);
  m_game->GetCursorSet()->SetType(CCursor::kObject);
  Send(CGame::kEventPause);
  EXPECT_TRUE(m_game->IsPaused());
  // A click begun before the pause ends there; the pointer is the plain one, drawn as a sprite.
  EXPECT_TRUE(m_game->GetScene()->IsReleased());
  EXPECT_FALSE(m_game->GetScene()->IsPressed());
  EXPECT_EQ(m_game->GetCursorSet()->GetType(), CCursor::kStandard);
  EXPECT_TRUE(Ombrel::GetActiveInput()->GetCursor(0)->GetFlags() & CCursor::kSpriteShownFlag);
  EXPECT_TRUE(m_game->GetQuickNode(CGame::kTopCapture)->IsDrawn()) << "the next pass captures the screen";
  Scene().Render();
  EXPECT_FALSE(m_game->GetQuickNode(CGame::kTopCapture)->IsDrawn());
  EXPECT_TRUE(m_game->GetQuickNode(CGame::kTopRender)->IsDrawn());
  for (const char* layer : CGame::kLiveLayers) EXPECT_FALSE(Scene().IsLayerVisible(layer)) << layer;
  EXPECT_TRUE(Scene().IsLayerVisible("Start"));
  // A device reset loses the picture: the live layers come back for one pass, in which the
  // capture node takes it again.
  MarkDeviceWasReset();
  Scene().Render();
  EXPECT_TRUE(m_game->GetQuickNode(CGame::kTopCapture)->IsDrawn());
  EXPECT_TRUE(Scene().IsLayerVisible("Scene"));
  Scene().Render();
  EXPECT_FALSE(Scene().IsLayerVisible("Scene"));
  EXPECT_TRUE(m_game->GetQuickNode(CGame::kTopRender)->IsDrawn());

  const float alpha = m_game->GetSceneAlpha();
  Frame(0.1f);
  EXPECT_EQ(m_game->GetSceneAlpha(), alpha) << "nothing behind the overlay moves";
  Send(CGame::kEventPause);  // closes it again
  for (int i = 0; i < 10 && m_game->IsPaused(); ++i) Frame(0.1f);
  ASSERT_FALSE(m_game->IsPaused());
  EXPECT_FALSE(m_game->GetQuickNode(CGame::kTopRender)->IsDrawn());
  for (const char* layer : CGame::kLiveLayers) EXPECT_TRUE(Scene().IsLayerVisible(layer)) << layer;
  EXPECT_TRUE(m_game->IsRecaptureRequested());
}

TEST_F(GameTest, LeavingStoresTheWorldsProgressInTheCurrentProfile) {
  EnterGame();
  m_game->GetWorld()->SetSceneObjectState(1, 7, 1, 0);
  m_game->Release();
  m_entered = false;
  // The pointer no longer draws through the state's sprite, which went with its scene group.
  const Ombrel::CCursor& pointer = *Ombrel::GetActiveInput()->GetCursor(0);
  EXPECT_FALSE(pointer.GetFlags() & CCursor::kSpriteShownFlag);
  EXPECT_EQ(pointer.GetNode(), nullptr);
  const SProfileData& profile = *GetSaveData()->CurrentProfile();
  EXPECT_TRUE(profile.progress.last);
  CMap restored(false);
  std::ifstream description(m_root + "App/Configs/GameInfo.xml");
  restored.Load(std::string(std::istreambuf_iterator<char>(description), {}));
  restored.RestoreProgress(profile.progress);
  ASSERT_EQ(restored.Scene(1).live.objectStates.size(), 1u);
  EXPECT_EQ(restored.Scene(1).live.objectStates[0].id, 7u);
  EXPECT_EQ(restored.Scene(1).live.objectStates[0].visible, 1);
  EXPECT_TRUE(std::filesystem::exists(std::string(std::getenv("HOLLOWMERE_DATA_HOME")) + "/Saves/savegame.sav"));
}

// Taking an item freezes the bar while the item frame presents it; the frame's button (or a
// right click) lets the item fly on into the bar, or it would hang in the air for good.
TEST_F(GameTest, ClosingTheItemFrameLetsTheFrozenBarMoveAgain) {
  EnterGame({"App/Configs/Hud_Resources.xml", "App/Hud"}, {"App/Configs/Hud_Resources.xml"});
  CPlayer* hud = m_game->GetHud();
  CItemFrame* frame = m_game->GetItemFrame();
  ASSERT_TRUE(hud && frame);
  hud->SetBarFrozen(true);
  frame->Show("S01_Knife");
  frame->ReadInput();
  frame->Update(0.5f);
  ASSERT_EQ(frame->GetState(), kOverlayOpen);
  EXPECT_TRUE(hud->IsBarFrozen()) << "the bar waits while the frame is up";
  SInputState& input = GetInputState();
  input.down[2] = 1;  // a right press anywhere closes the frame
  input.changed[2] = 1;
  frame->ReadInput();
  frame->Update(0.02f);
  EXPECT_EQ(frame->GetState(), kOverlayClosing);
  EXPECT_FALSE(hud->IsBarFrozen());

  // Closed, it gives the pointer back its object cursor, no longer held pressed.
  CCursor* cursor = m_game->GetCursorSet();
  ASSERT_NE(cursor, nullptr);
  cursor->SetType(CCursor::kObject);
  cursor->SetHover(true);
  input.down[2] = 0;
  frame->ReadInput();
  frame->Update(0.5f);
  ASSERT_EQ(frame->GetState(), kOverlayClosed);
  cursor->Update(0.02f);
  EXPECT_FALSE(cursor->IsHeld());
}

}  // namespace

// The story's effects over the build's own effect files: every file and member is there, the
// names with a trailing blank among them, and a second entry builds everything afresh.
TEST(GameEffectsTest, EveryGroupAndPoolFindsItsEmittersInTheEffectFiles) {
  hmtest::CReportScope reports;
  gamestatetest::CStateModules modules;
  ASSERT_TRUE(modules.Start(std::string(HM_BINARY_DIR) + "/content/"));
  Ombrel::CSceneManager& scene = *modules.render->GetSceneManager();
  for (const char* layer :
       {"SceneEffects", "IntermediateEffects", "HiddenObjectsEffects", "HUDEffects", "MiniGameEffects"}) {
    scene.AddLayer(layer, Ombrel::CSceneManager::kSystemInfoLayer);
  }
  for (int entry = 0; entry < 2; ++entry) {
    SCOPED_TRACE(entry);
    SGameEffects effects;
    CreateParticleManager();
    SetUpGameEffects(effects);
    EXPECT_TRUE(hmtest::CReportScope::All().empty()) << hmtest::CReportScope::All();
    EXPECT_EQ(effects.scene->GetEmitters().GetCount(), 84u);
    EXPECT_EQ(effects.closeUp->GetEmitters().GetCount(), 63u);
    EXPECT_EQ(effects.miniGame->GetEmitters().GetCount(), 37u);
    EXPECT_EQ(effects.hiddenObjects->GetEmitters().GetCount(), 9u);
    for (const char* name : {"S24_Machette ", "I19a_Sledgehammer ", "I21_AquariumPot ", "G03_Tissue "}) {
      const CEmitterGroup* groups[] = {effects.scene.get(), effects.closeUp.get(), effects.miniGame.get()};
      EXPECT_TRUE(std::any_of(std::begin(groups), std::end(groups),
                              [&](const CEmitterGroup* group) { return group->GetEmitters().Find(name); }))
          << '"' << name << '"';
    }
    EXPECT_EQ(effects.LayerPools().size(), 8u);
    ASSERT_EQ(effects.miniGamePools.size(), 9u);
    ASSERT_NE(effects.MiniGamePool("SparkEmitters"), nullptr);
    EXPECT_EQ(effects.MiniGamePool("SparkEmitters")->GetCount(), 4u);
    EXPECT_EQ(effects.found->GetCount(), 10u);
    EXPECT_EQ(effects.game1[0]->GetCount(), 6u);
    EXPECT_STREQ(effects.closeUpHints->GetName().GetText(), "SceneHints");
    ReleaseGameEffects(effects);
    EXPECT_EQ(MP::CManager::GetInstance(), nullptr);
  }
}
