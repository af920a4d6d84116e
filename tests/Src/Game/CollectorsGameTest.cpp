// The bonus chapter's state over real modules: its set-up over the build's own content (the
// main story's layers without the tutorial's, its groups and pools, every screen built in its
// bonus mode), and over a folder that lacks its content (each missing name told, nothing
// dereferenced); the profile it starts from (a new bonus game asked for, the main story's diary
// pages given to an empty diary); where the chapter's end leads; its next and previous
// locations; its frozen screen taken again after a device reset; its arcade machine, resumed from
// a saved game and kept apart from the main story's puzzle of the same layout name.

#include "Src/Game/Vey_CollectorsGame.h"

#include <gtest/gtest.h>

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/ResourceTypes/omResourceSound.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Scene/omQuickNode.h"
#include "Framework/Scene/omSceneManager.h"
#include "Framework/omApplication.h"
#include "Framework/omApplicationEvent.h"
#include "Framework/omFileSystem.h"
#include "Framework/omInput.h"
#include "Framework/omSaveModule.h"
#include "Quor/DirectX/Quordx.h"
#include "Src/World/Vey_MPManager.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/Location/Vey_SceneScreens.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_Diary.h"
#include "Src/Investigation/Vey_Intermediate.h"
#include "Src/Investigation/Vey_MapFrame.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/MiniGames/Vey_CollectorsMiniGame1.h"
#include "tests/Src/World/GameStateTestKit.h"
#include "tests/support/engine/ReportScope.h"
#include "tests/support/engine/StagedKeys.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace Vey;

namespace {

constexpr int32_t kCollectorsStateId = 5;
constexpr int32_t kCollectorsMenuId = 2;
constexpr int32_t kOutroId = 7;

// Opens the protected ending to the tests.
class CTestableCollectorsGame : public CCollectorsGame {
 public:
  using CCollectorsGame::CCollectorsGame;
  using CCollectorsGame::LeaveForEnding;
};

class CollectorsGameTest : public ::testing::Test {
 protected:
  void TearDown() override { Leave(); }

  void Leave() {
    if (m_game && m_entered) m_game->Release();
    m_entered = false;
    m_game.reset();
    m_saves.reset();
    m_modules.Stop();
  }

  // The modules over the content folder, a fresh save body the test may change first, and the
  // state entered.
  void Enter(const std::string& root, const std::function<void(SProfileData&)>& prepare = nullptr) {
    ASSERT_TRUE(m_modules.Start(root));
    m_saves = gamestatetest::StartFreshSaves();
    ASSERT_NE(m_saves, nullptr);
    if (prepare) {
      SSaveData& save = *GetSaveData();
      SSaveData::ResetProfile(save.profiles[0]);
      save.profiles[0].inUse = 1;
      save.current = 0;
      prepare(save.profiles[0]);
    }
    m_game = std::make_unique<CTestableCollectorsGame>(&m_application, nullptr, nullptr);
    m_game->Attach(&m_events, nullptr, kCollectorsStateId);
    m_game->SetMenuId(kCollectorsMenuId);
    m_game->SetBonusOutroId(kOutroId);
    m_game->Init();
    m_game->Start();
    m_entered = true;
  }
  void EnterBuiltContent(const std::function<void(SProfileData&)>& prepare = nullptr) {
    Enter(std::string(HM_BINARY_DIR) + "/content/", prepare);
  }

  void Frame(float dt) { Frame(*m_game, dt); }
  static void Frame(Ombrel::IApplicationState& state, float dt) { gamestatetest::RunFrame(state, dt); }
  Ombrel::CSceneManager& Scene() const { return *m_modules.render->GetSceneManager(); }
  static Ombrel::CLayout2D* Layout(const char* name) {
    Ombrel::CResourceLayout2D* resource = Ombrel::GetResourceManager()->GetLayout2D(name);
    if (resource && !resource->IsLoaded()) resource->Load();
    return resource ? resource->GetLayout() : nullptr;
  }
  const SProfileData& Profile() const { return *GetSaveData()->CurrentProfile(); }

  hmtest::CStagedKeys m_keys;
  hmtest::CReportScope m_reports;
  gamestatetest::CStateModules m_modules;
  gamestatetest::CEventRecorder m_application;
  Ombrel::CEventManager m_events;
  std::unique_ptr<Ombrel::CSaveModule> m_saves;
  std::unique_ptr<CTestableCollectorsGame> m_game;
  bool m_entered = false;
};

TEST_F(CollectorsGameTest, TheChapterBuildsTheMainStorysStackWithoutTheTutorialAndEveryScreenInItsBonusMode) {
  EnterBuiltContent();
  // Everything the chapter names is in the built content (the window cursors alone are read
  // beside the program, which a test is not).
  const std::string reports = hmtest::CReportScope::All();
  for (const char* fault : {"has no", "was not loaded", "No particle emitter", "not among"})
    EXPECT_EQ(reports.find(fault), std::string::npos) << reports;
  // The main story's layers in their order, the tutorial's left out, right up to the system layer.
  std::vector<std::string> expected;
  for (const char* layer : CGame::kLayers)
    if (std::strcmp(layer, CGame::kTutorialLayer) != 0) expected.insert(expected.begin(), layer);
  const std::vector<const char*> names = Scene().GetLayerNames();
  const auto systemInfo =
      std::find_if(names.begin(), names.end(), [](const char* n) { return !std::strcmp(n, "SystemInfo"); });
  ASSERT_GE(systemInfo - names.begin(), ptrdiff_t(expected.size()));
  EXPECT_EQ(std::vector<std::string>(systemInfo - expected.size(), systemInfo), expected);
  for (int node = 0; node < CGame::kQuickNodeCount; ++node)
    EXPECT_NE(m_game->GetQuickNode(CGame::EQuickNode(node)), nullptr) << node;

  ASSERT_NE(m_game->GetWorld(), nullptr);
  EXPECT_TRUE(m_game->GetWorld()->IsBonus());
  EXPECT_TRUE(m_game->GetWorld()->IsLoaded());
  const SGameEffects& effects = m_game->GetEffects();
  EXPECT_EQ(effects.scene->GetEmitters().GetCount(), 11u);
  EXPECT_EQ(effects.closeUp->GetEmitters().GetCount(), 10u);
  EXPECT_EQ(effects.miniGame->GetEmitters().GetCount(), 5u);
  EXPECT_EQ(effects.hiddenObjects->GetEmitters().GetCount(), 2u);
  EXPECT_EQ(effects.LayerPools().size(), 5u) << "the hints', found, trail and stroke pools";
  EXPECT_TRUE(effects.miniGamePools.empty());
  EXPECT_EQ(effects.found->GetCount(), 10u);

  for (const void* screen :
       {(const void*)m_game->GetHud(), (const void*)m_game->GetMapFrame(), (const void*)m_game->GetDiary(),
        (const void*)m_game->GetItemFrame(), (const void*)m_game->GetDialog(), (const void*)m_game->GetCloseUp(),
        (const void*)m_game->GetHiddenObjects(), (const void*)m_game->GetSceneRenderer(),
        (const void*)m_game->GetGameHelp()})
    EXPECT_NE(screen, nullptr);
  EXPECT_EQ(m_game->GetTutorials(), nullptr);
  EXPECT_EQ(m_game->GetTutorialDialog(), nullptr);
  ASSERT_NE(m_game->GetScene(), nullptr);
  EXPECT_TRUE(m_game->GetScene()->IsBonus());
  EXPECT_EQ(m_game->GetScene()->GetCurrentLocation(), 0u) << "a new game starts in the street";
  // The arcade machine is the chapter's one puzzle, on the puzzles' layer, with its coin.
  ASSERT_NE(dynamic_cast<CCollectorsMiniGame1*>(m_game->GetMiniGame(CCollectorsMiniGame1::kIndex)), nullptr);
  for (uint32_t i = 1; i < kMiniGameCount; ++i) EXPECT_EQ(m_game->GetMiniGame(i), nullptr) << i;
  const std::vector<SSceneObject>& machine = m_game->GetWorld()->MiniGame(0).objects;
  ASSERT_EQ(machine.size(), 1u);
  EXPECT_EQ(machine[0].name, "G01_Coin");
  EXPECT_TRUE(machine[0].pickable);
  EXPECT_NE(Layout("Items")->FindItem("root/Items/G01_Coin"), nullptr) << "the bar takes the coin";
  EXPECT_NE(Layout("Game01")->FindItem("root/Button"), nullptr);
  for (int i = 0; i < 6; ++i) Frame(0.1f);
  Scene().Render();
}

// Every sound of the chapter's bank is declared where its file lies, the arcade's among them.
TEST_F(CollectorsGameTest, EverySoundOfTheChaptersBankLoadsFromItsFile) {
  EnterBuiltContent();
  const Ombrel::CResourceManager& resources = *Ombrel::GetResourceManager();
  std::vector<std::string> names = CSoundContainer::ChapterSoundNames(true);
  names.resize(names.size() - 5);  // the last five are the music's
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    auto* sound = static_cast<Ombrel::CResourceSound*>(resources.FindResource("Sound", name.c_str()));
    ASSERT_NE(sound, nullptr);
    if (!sound->IsLoaded()) sound->Load();
    ASSERT_NE(sound->GetSound(), nullptr);
    EXPECT_TRUE(Ombrel::ContentFileExists(sound->GetSound()->name.c_str())) << sound->GetSound()->name;
  }
}

TEST_F(CollectorsGameTest, WithoutItsContentTheChapterTellsWhatIsMissingAndStillRuns) {
  const std::string root =
      gamestatetest::CopyContent("collectors", gamestatetest::WithFiles({"App/Configs/Common_Resources.xml",
                                                                         "App/Configs/Pause_Resources.xml",
                                                                         "Art/GUI/Cursor/Textures"},
                                                                        gamestatetest::kPauseContent));
  Enter(root);
  const std::string reports = hmtest::CReportScope::All();
  for (const char* told : {"App/Configs/Collectors/CollectorsGame_Resources.xml: no such resource list",
                           "The bonus chapter has no buffer \"CollectorsGameInfo\"",
                           "The bonus chapter has no 2-D layout \"CollectorsMap\"",
                           "Particle file \"Art\\Environments\\Collectors\\Scene01\\Effects\\S01.ptc\" was not loaded"})
    EXPECT_NE(reports.find(told), std::string::npos) << told;
  EXPECT_EQ(m_game->GetMapFrame(), nullptr);
  for (int i = 0; i < 6; ++i) Frame(0.1f);
  Scene().Render();
  MarkDeviceWasReset();
  Scene().Render();
}

// The profile's game-mode word asks for a new bonus game with 5 and 6; a diary found empty then
// gets the main story's seventeen pages, in the story's order and without the display's signal.
TEST_F(CollectorsGameTest, ANewBonusGameStartsFromAnEmptyGameAndAnEmptyDiaryGetsTheMainStorysPages) {
  const std::vector<std::string> mainPages = {"S01_1_Entry", "I01_1_Entry", "S04_1_Entry", "I03_1_Entry", "S07_1_Entry",
                                              "S08_1_Entry", "I07_1_Entry", "I06_1_Entry", "I10_1_Entry", "S15_1_Entry",
                                              "S16_1_Entry", "S19_1_Entry", "S22_1_Entry", "S23_1_Entry", "I19_1_Entry",
                                              "S33_1_Entry", "S35_1_Entry"};
  const struct {
    uint32_t mode;
    uint32_t modeAfter;
    bool reset;  // the inventory and the diary emptied, the saved location forgotten
  } cases[] = {{5, 3, true}, {6, 4, true}, {3, 3, false}, {1, 1, false}, {7, 7, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    Leave();
    EnterBuiltContent([&](SProfileData& profile) {
      profile.gameMode = c.mode;
      SSaveData::AddItem(profile, 3);
      SSaveData::AddDiaryEntry(profile, 17);  // the chapter's own first page
      profile.location = 2;
    });
    EXPECT_EQ(Profile().gameMode, c.modeAfter);
    EXPECT_EQ(Profile().inventoryCount, c.reset ? 0u : 1u);
    EXPECT_EQ(m_game->GetScene()->GetCurrentLocation(), c.reset ? 0u : 2u);
    if (c.reset) {
      const std::vector<std::string>& catalogue = DiaryPageKeys();
      std::vector<int32_t> expected;
      for (const std::string& page : mainPages)
        expected.push_back(int32_t(std::find(catalogue.begin(), catalogue.end(), page) - catalogue.begin()));
      EXPECT_EQ(std::vector<int32_t>(Profile().diary, Profile().diary + Profile().diaryCount), expected);
      const MP::CEmitter* signal = MP::CManager::GetInstance()->FindEmitter("NewEntry");
      ASSERT_NE(signal, nullptr);
      EXPECT_NE(signal->GetState(), MP::CEmitter::kRunning) << "given silently";
    } else {
      EXPECT_EQ(Profile().diaryCount, 1u) << "a diary with a page gets none";
    }
  }
}

// The profile's progress is the chapter's own only under the chapter's modes: a main story's
// progress (its exits and objects numbered by the story's places) leaves the chapter's world as
// its description has it.
TEST_F(CollectorsGameTest, OnlyTheChaptersOwnProgressIsAppliedToItsWorld) {
  const struct {
    uint32_t mode;
    bool applied;
  } cases[] = {{1, false}, {2, false}, {3, true}, {4, true}, {7, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    Leave();
    hmtest::CReportScope::Texts().clear();
    EnterBuiltContent([&](SProfileData& profile) {
      profile.gameMode = c.mode;
      profile.progress.sceneItems[2][0].value = 1;  // the parlour's lamp lit
      profile.progress.sceneItemCount[2] = 1;
      profile.progress.last = 1;
    });
    const SSceneSlot& parlour = m_game->GetWorld()->Scene(2);
    ASSERT_FALSE(parlour.objects.empty());
    EXPECT_EQ(parlour.objects[0].state, c.applied ? "Lit" : "Off");
    const bool told = hmtest::CReportScope::All().find("is not the bonus chapter's") != std::string::npos;
    EXPECT_EQ(told, !c.applied);
  }
}

TEST_F(CollectorsGameTest, TheChaptersEndPlaysItsOutroThenTheMenu) {
  using Event = std::pair<int32_t, int32_t>;
  const struct {
    int32_t outro, menu;
    std::vector<Event> events;
  } cases[] = {
      {kOutroId,
       kCollectorsMenuId,
       {{Ombrel::AE_ADD_STATE, kOutroId}, {Ombrel::AE_ADD_STATE, kCollectorsMenuId}, {Ombrel::AE_STATE_FINISHED, -1}}},
      {-1, kCollectorsMenuId, {{Ombrel::AE_ADD_STATE, kCollectorsMenuId}, {Ombrel::AE_STATE_FINISHED, -1}}},
      {-1, -1, {{Ombrel::AE_EXIT, -1}}},
  };
  EnterBuiltContent();
  for (const auto& c : cases) {
    m_application.events.clear();
    m_game->SetBonusOutroId(c.outro);
    m_game->SetMenuId(c.menu);
    m_game->LeaveForEnding();
    EXPECT_EQ(m_application.events, c.events) << c.outro << " " << c.menu;
  }
}

// The debug switches walk the five locations and stop at either end; a search slot is never
// entered as a location, so neither leads from one.
TEST_F(CollectorsGameTest, NextAndPreviousLocationsStayAmongTheChaptersFiveLocations) {
  const struct {
    uint32_t from;
    int32_t next, previous;  // -1: none
  } cases[] = {{0, 1, -1}, {2, 3, 1}, {4, -1, 3}};
  EnterBuiltContent();
  CScene& scene = *m_game->GetScene();
  for (uint32_t search : {5u, 8u}) {
    scene.LoadScene(2);
    scene.LoadScene(search);
    EXPECT_EQ(scene.GetCurrentLocation(), 0u) << search;
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    for (int step = 0; step < 2; ++step) {
      scene.LoadScene(c.from);
      ASSERT_EQ(scene.GetCurrentLocation(), c.from);
      const int32_t expected = step == 0 ? c.next : c.previous;
      EXPECT_EQ(step == 0 ? scene.LoadNextScene() : scene.LoadPreviousScene(), expected != -1);
      EXPECT_EQ(scene.GetCurrentLocation(), expected == -1 ? c.from : uint32_t(expected));
    }
  }
}

// A device reset loses the frozen pictures: over two passes they are taken again from the live
// screens, though nothing asked for it: the first switches on the layers the pictures stood in
// for and readies the capture nodes, the second draws those layers and switches them off again.
// (What the pictures show is looked at in the end-to-end FrozenScreenWalkTest.)
TEST_F(CollectorsGameTest, TheFrozenScreenIsTakenAgainFromTheLiveScreensAfterADeviceReset) {
  EnterBuiltContent();
  for (int i = 0; i < 4; ++i) Frame(0.1f);
  Scene().Render();
  Scene().Render();
  ASSERT_FALSE(m_game->IsRecaptureRequested());
  m_game->GetMapFrame()->Open();
  m_game->GetHud()->SetMode(kHudModeMap);
  m_game->GetQuickNode(CGame::kUpperCapture)->SetDrawn(true);
  Scene().Render();
  Scene().Render();
  ASSERT_FALSE(Scene().IsLayerVisible("Scene"));
  ASSERT_TRUE(m_game->GetQuickNode(CGame::kUpperRender)->IsDrawn()) << "the map's backdrop";
  MarkDeviceWasReset();
  Scene().Render();
  EXPECT_TRUE(Scene().IsLayerVisible("Scene")) << "the garden drawn live for the new picture";
  EXPECT_TRUE(m_game->GetQuickNode(CGame::kSceneCapture)->IsDrawn());
  EXPECT_TRUE(m_game->GetQuickNode(CGame::kUpperCapture)->IsDrawn());
  Scene().Render();
  EXPECT_FALSE(Scene().IsLayerVisible("Scene"));
  EXPECT_TRUE(Scene().IsLayerVisible("Map"));
  EXPECT_TRUE(m_game->GetQuickNode(CGame::kUpperRender)->IsDrawn());
  Scene().Render();
  EXPECT_FALSE(Scene().IsLayerVisible("Scene")) << "the reset was taken once";

  gamestatetest::SendEvent(m_events, CGame::kEventPause);
  ASSERT_TRUE(m_game->IsPaused());
  Scene().Render();
  ASSERT_FALSE(Scene().IsLayerVisible("Map"));
  MarkDeviceWasReset();
  Scene().Render();
  EXPECT_TRUE(Scene().IsLayerVisible("Map")) << "paused, every live layer is drawn for the new picture";
  EXPECT_TRUE(Scene().IsLayerVisible("Scene"));
  EXPECT_TRUE(m_game->GetQuickNode(CGame::kTopCapture)->IsDrawn());
  Scene().Render();
  EXPECT_FALSE(Scene().IsLayerVisible("Map"));
  EXPECT_FALSE(Scene().IsLayerVisible("Scene"));
  EXPECT_TRUE(m_game->GetQuickNode(CGame::kTopRender)->IsDrawn());
}

// A game saved inside the arcade machine resumes with the machine open, over the games room or
// over a close-up: the location logic and the close-up view both hold the chapter's puzzle list.
TEST_F(CollectorsGameTest, AGameSavedInsideTheArcadeResumesInIt) {
  const struct {
    uint32_t location, closeUp;
  } cases[] = {{3, kNoCloseUp}, {0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.closeUp);
    Leave();
    EnterBuiltContent([&](SProfileData& profile) {
      profile.location = c.location;
      profile.closeUp = c.closeUp;
      profile.miniGame = 0;
    });
    CMiniGameBase* arcade = m_game->GetMiniGame(0);
    ASSERT_NE(arcade, nullptr);
    EXPECT_EQ(m_game->GetScene()->GetCurrentLocation(), c.location);
    if (c.closeUp == kNoCloseUp)
      EXPECT_EQ(m_game->GetScene()->GetOpenMiniGame(), 0u);
    else
      EXPECT_EQ(m_game->GetCloseUp()->GetOpenMiniGame(), arcade);
    for (int i = 0; i < 10; ++i) Frame(0.1f);
    EXPECT_EQ(arcade->GetState(), CMiniGameBase::kPlaying);
    Scene().Render();
  }
  EXPECT_TRUE(Layout("Scene04")->FindItem("root/GameOn1")->visible) << "the cabinet's monitor is lit";
}

// The main story and the chapter both name their puzzle's layout "Game01" and their places
// "Scene01".."Scene09": played one after the other in one run, as the application switches
// states, each finds its own.
TEST_F(CollectorsGameTest, AfterTheMainStoryTheChapterFindsItsOwnLayoutsOfTheSameNames) {
  ASSERT_TRUE(m_modules.Start(std::string(HM_BINARY_DIR) + "/content/"));
  m_saves = gamestatetest::StartFreshSaves();
  ASSERT_NE(m_saves, nullptr);
  Ombrel::CResourceManager& resources = *Ombrel::GetResourceManager();
  const auto enter = [&](Ombrel::IApplicationState& state, const char* group) {
    resources.SetCurrentGroupName(Ombrel::CApplication::kStateResourceGroup);
    Scene().AddGroup(group);
    Scene().SetCurrentGroup(group);
    state.Init();
    state.Start();
  };
  const auto leave = [&](Ombrel::IApplicationState& state, const char* group) {
    state.Release();
    Scene().RemoveGroup(group);
    resources.UnloadGroup(Ombrel::CApplication::kStateResourceGroup);
  };
  {
    CGame story(&m_application, nullptr, nullptr);
    story.Attach(&m_events, nullptr, kCollectorsStateId);
    enter(story, "Game_Group");
    ASSERT_NE(Layout("Game01")->FindItem("root/redJewel"), nullptr) << "the story's jewel box";
    for (int i = 0; i < 3; ++i) Frame(story, 0.1f);
    leave(story, "Game_Group");
  }
  GetSaveData()->CurrentProfile()->gameMode = 5;  // the menu asks for a new bonus game
  m_game = std::make_unique<CTestableCollectorsGame>(&m_application, nullptr, nullptr);
  m_game->Attach(&m_events, nullptr, kCollectorsStateId);
  enter(*m_game, "CollectorsGame_Group");
  m_entered = true;
  EXPECT_EQ(Layout("Game01")->FindItem("root/redJewel"), nullptr);
  EXPECT_NE(Layout("Game01")->FindItem("root/Button"), nullptr) << "the arcade machine";
  EXPECT_NE(Layout("Scene04")->FindItem("root/GameOn1"), nullptr) << "the chapter's games room";
  auto* arcade = dynamic_cast<CCollectorsMiniGame1*>(m_game->GetMiniGame(0));
  ASSERT_NE(arcade, nullptr);
  for (int i = 0; i < 3; ++i) Frame(0.1f);
  Scene().Render();
}

}  // namespace
