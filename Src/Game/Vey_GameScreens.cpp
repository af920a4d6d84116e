// The screens of the main story as the state builds them: the cursor set, the heads-up display,
// the item frame and the story dialog, the location logic with the location entered, and the
// location's renderer. A screen whose content is missing is told and left out; the location
// logic goes on without it.

#include "Src/Game/Vey_Game.h"

#include "Framework/Resources/ResourceTypes/omResourceBuffer.h"
#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/ResourceTypes/omResourceJptTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/ResourceTypes/omResourceTexAnim.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Framework/Resources/omJptTexture.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Scene/omQuickNode.h"
#include "Framework/Scene/omSceneManager.h"
#include "Framework/Scene/omSceneMaterial.h"
#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omAssetModule.h"
#include "Framework/omDataSaver.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omSaveModule.h"
#include "Quor/DirectX/Quordx.h"
#include "Src/Location/Vey_FrozenPicture.h"
#include "Src/World/Vey_MPManager.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/Location/Vey_SceneRenderer.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/World/Vey_StateSetup.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Menu/Vey_PauseMenu.h"
#include "Src/Investigation/Vey_Dialog.h"
#include "Src/Investigation/Vey_Diary.h"
#include "Src/Investigation/Vey_GameHelp.h"
#include "Src/Investigation/Vey_HiddenObjects.h"
#include "Src/Investigation/Vey_Intermediate.h"
#include "Src/Investigation/Vey_IntermediateRenderer.h"
#include "Src/Investigation/Vey_ItemFrame.h"
#include "Src/Investigation/Vey_MapFrame.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/Investigation/Vey_TutorialDialog.h"
#include "Src/Investigation/Vey_TutorialNode.h"
#include "Src/Investigation/Vey_Tutorials.h"
#include "Src/Menu/Vey_HelpMenu.h"
#include "Src/Menu/Vey_OptionsMenu.h"
#include "Src/MiniGames/Vey_CollectorsMiniGame1.h"
#include "Src/MiniGames/Vey_MiniGame1.h"
#include "Src/MiniGames/Vey_MiniGame4.h"
#include "Src/MiniGames/Vey_MiniGame2.h"
#include "Src/MiniGames/Vey_MiniGame3.h"
#include "Src/MiniGames/Vey_MiniGame7.h"
#include "Src/MiniGames/Vey_MiniGame11.h"
#include "Src/MiniGames/Vey_MiniGame5.h"
#include "Src/MiniGames/Vey_MiniGame6.h"
#include "Src/MiniGames/Vey_MiniGameBase.h"

namespace Vey {

namespace {

constexpr const char* kFrameLayout = "FrameSmall";
constexpr const char* kHudLayout = "HUD";
constexpr const char* kItemsLayout = "Items";
constexpr const char* kTutorialBuffer = "Tutorials";
constexpr const char* kCursorTexture = "SystemCursor";
constexpr const char* kCursorMaterial = "CursorMat";
// In the cursor set's order of types: standard, exit, object, hidden.
constexpr const char* kCursorAnimations[CCursor::kMaterialCount] = {"StandardCursor", "ExitCursor", "ObjectCursor",
                                                                    "HiddenCursor"};

Ombrel::CLayout2D* FindLayout(const char* name) {
  Ombrel::CLayout2D* layout = LoadStateLayout(name);
  if (!layout) ReportMissingResource("2-D layout", name);
  return layout;
}

TextureRecord* FindTexture(const char* name) {
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  Ombrel::CResourceTexture* resource = resources ? resources->GetTexture(name) : nullptr;
  if (!resource || !resource->GetTexture()) ReportMissingResource("texture", name);
  return resource ? resource->GetTexture() : nullptr;
}

TextureRecord* FindJptTexture(const char* name) {
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  Ombrel::CResourceJptTexture* resource = resources ? resources->GetTextureJpt(name) : nullptr;
  Ombrel::CJptTexture* texture = resource ? resource->GetTextureObject() : nullptr;
  if (texture && !texture->GetTexture()) texture->Create();
  if (!texture || !texture->GetTexture()) ReportMissingResource("JPT texture", name);
  return texture ? texture->GetTexture() : nullptr;
}

Ombrel::CTextureAnimation* FindAnimation(const char* name) {
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  Ombrel::CResourceTexAnim* resource = resources ? resources->GetTexAnim(name) : nullptr;
  if (!resource || !resource->GetAnimation()) ReportMissingResource("texture animation", name);
  return resource ? resource->GetAnimation() : nullptr;
}

MP::CEmitter* FindEmitter(const char* name) {
  MP::CManager* manager = MP::CManager::GetInstance();
  MP::CEmitter* emitter = manager ? manager->FindEmitter(name) : nullptr;
  if (!emitter) ReportMissingResource("particle emitter", name);
  return emitter;
}

}  // namespace

// Here, where every screen's type is whole.
CGame::CGame(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config,
             Ombrel::CBaseLoading* loading)
    : CGame(application, config, loading, kMainStory) {}

CGame::CGame(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config,
             Ombrel::CBaseLoading* /*loading: the application draws it; the game needs no hold of it*/,
             const SStory& story)
    : CGameBase(application, config), m_story(story) {}

CGame::~CGame() = default;

// The cursor set drives the first player's pointer record, which follows the mouse from now on
// and draws through the software sprite unless the player has the system cursor on.
void CGame::CreateCursorSet() {
  Ombrel::CInput* input = Ombrel::GetActiveInput();
  Ombrel::CCursor* record = input ? input->GetCursor(0) : nullptr;
  if (!record) return;
  TextureRecord* picture = FindTexture(kCursorTexture);
  auto* sprite = new Ombrel::CSprite2DNode("CursorNode0", picture);
  sprite->SetMaterial(new Ombrel::C2DMaterial(kCursorMaterial));
  m_cursorSprite = AttachToLayer(sprite, Ombrel::CSceneManager::kSystemInfoLayer);
  record->SetNode(m_cursorSprite, picture);
  CCursor::Materials materials{};
  for (int i = 0; i < CCursor::kMaterialCount; ++i) materials[size_t(i)] = FindAnimation(kCursorAnimations[i]);
  m_cursor = std::make_unique<CCursor>(materials, *record);
  // Paused, the game stands still with the standard arrow, whose glint the pause's clicks play.
  if (CPauseMenu* pause = GetPauseMenu()) pause->SetPointerAnimation(materials[CCursor::kStandard]);
  m_cursor->SetSpriteSize(GetPlatformState().renderHeight);
  record->SetFlags(record->GetFlags() | CCursor::kSpriteShownFlag);
  const SSaveData* save = GetSaveData();
  if (m_cursorSprite) m_cursorSprite->SetDrawn(!save || !save->systemCursor);
}

void CGame::CreateHud() {
  SHudCollaborators parts;
  parts.layout = FindLayout(kHudLayout);
  if (!parts.layout) return;  // the display is its layout
  parts.items = FindLayout(kItemsLayout);
  parts.dictionary = GetDictionary();
  parts.font = m_fonts[1] ? m_fonts[1]->GetFont() : nullptr;
  parts.emptySlot = FindJptTexture("EmptyInventorySlot");
  parts.stroke = FindTexture("Stroke");
  parts.sounds = m_sounds.get();
  parts.saveData = GetSaveData();
  parts.events = GetEventManager();
  parts.upperCapture = m_quickNodes[kUpperCapture];
  parts.foundPool = m_effects.found;
  parts.trailPool = m_effects.trail;
  parts.strokePool = m_effects.stroke;
  parts.hintGlow = FindEmitter("HintGlow");
  parts.newEntry = FindEmitter("NewEntry");
  parts.cursorEffect = FindEmitter("Cursor");
  parts.mapFrame = m_mapFrame;
  m_hud = AttachToLayer(new CPlayer(parts), "HUD");
  if (!m_hud) return;
  m_hud->BuildHud();
  m_hud->LoadInventory();
}

// The map overlay, which the display's compass opens.
void CGame::CreateMapFrame() {
  Ombrel::CLayout2D* layout = FindLayout(m_story.mapLayout);
  if (!layout) return;  // the map is its layout
  m_mapFrame = AttachToLayer(
      new CMapFrame(layout, m_cursor.get(), GetDictionary(), m_sounds.get(), m_story.bonus, GetSaveData()), "Map");
}

// The catalogue of the story's pages and the diary, which the display's book opens.
void CGame::CreateDiary() {
  m_diaryEntries = std::make_unique<CDiaryEntryList>();
  for (const std::string& key : DiaryPageKeys()) m_diaryEntries->AddEntry(FindLayout(key.c_str()), key);
  m_diary = AttachToLayer(new CDiary("Diary", FindLayout("Diary"), m_hud, m_world.get(), m_cursor.get(),
                                     m_diaryEntries.get(), GetDictionary(), m_sounds.get(), GetSaveData()),
                          "Diary");
  if (!m_diary) return;
  m_diary->LoadEntries();
  if (m_hud) m_hud->SetDiary(m_diary);
  if (m_story.bonus) GiveMainStoryPages();
}

// The bonus chapter's player has read the main story: a diary still empty gets its pages,
// without the display's signal for a new page.
void CGame::GiveMainStoryPages() {
  static const char* const kMainStoryPages[] = {
      "S01_1_Entry", "I01_1_Entry", "S04_1_Entry", "I03_1_Entry", "S07_1_Entry", "S08_1_Entry",
      "I07_1_Entry", "I06_1_Entry", "I10_1_Entry", "S15_1_Entry", "S16_1_Entry", "S19_1_Entry",
      "S22_1_Entry", "S23_1_Entry", "I19_1_Entry", "S33_1_Entry", "S35_1_Entry"};
  const SSaveData* save = GetSaveData();
  const SProfileData* profile = save ? save->CurrentProfile() : nullptr;
  if (!profile || profile->diaryCount != 0) return;
  for (const char* page : kMainStoryPages) m_diary->AddEntry(page, true);
}

// The item frame and the story dialog share the small frame's layout.
void CGame::CreateFrames() {
  Ombrel::CLayout2D* layout = FindLayout(kFrameLayout);
  m_itemFrame = AttachToLayer(
      new CItemFrame("ItemFrame", layout, m_hud, m_world.get(), m_cursor.get(), GetDictionary(), m_sounds.get()),
      "FrameSmall");
  // Whatever froze the bar while the frame presents the item, closing the frame lets it fly on.
  m_itemFrame->SetBarRelease([this] {
    if (m_hud) m_hud->SetBarFrozen(false);
  });
  // Once it has closed, the pointer shows the object cursor's own picture again.
  m_itemFrame->SetCursorRestore([this] {
    if (!m_cursor) return;
    m_cursor->RequestRestore();
    m_cursor->ReapplySystemCursor();
  });
  m_dialog = AttachToLayer(new CDialog("Dialog", layout, GetDictionary(), m_sounds.get()), "Dialog");
}

// The puzzles' help page, which the mini-games show from the display's help button.
void CGame::CreateGameHelp() {
  m_gameHelp = std::make_unique<CGameHelp>(FindLayout("Help"), m_hud, m_world.get(), GetDictionary(), m_sounds.get(),
                                           m_story.bonus, m_cursor.get());
}

// The skip button of the tutorial over the heads-up display's entries; none without its layout.
static std::unique_ptr<STutorialSkipButton> MakeSkipButton(Ombrel::CLayout2D* hud) {
  if (!hud) return nullptr;
  auto* text = dynamic_cast<Ombrel::SLayoutText*>(hud->FindItem("root/TutorialButton/text_skip"));
  return std::make_unique<STutorialSkipButton>(FindLayoutBox(*hud, "root/TutorialButton/Outline"),
                                               FindLayoutBox(*hud, "root/TutorialButton/Outline active"), text);
}

// The tutorial's node, its steps with the profile's progress, and the question whether to take it.
// A step is looked up in the layout of the location in front.
void CGame::CreateTutorials() {
  const STutorialFrameTextures frame{FindTexture("Fill"), FindTexture("Side"), FindTexture("Corner")};
  auto* node = new CTutorialNode(frame, GetDictionary());
  node->SetSkipButton(MakeSkipButton(FindLayout(kHudLayout)));
  m_tutorialNode = AttachToLayer(node, "Tutorial");
  m_tutorials = std::make_unique<CTutorials>(GetSaveData());
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  Ombrel::CResourceBuffer* buffer = resources ? resources->GetBuffer(kTutorialBuffer) : nullptr;
  if (buffer && buffer->GetData()) {
    const std::string text(reinterpret_cast<const char*>(buffer->GetData()), buffer->GetSize());
    m_tutorials->Load(kTutorialBuffer, text.c_str(), m_tutorialNode);
  } else {
    ReportMissingResource("buffer", kTutorialBuffer);
  }
  m_tutorials->LoadProgress();
  m_tutorials->SetOwnLayout(FindLayout("TutorialHints"));
  m_tutorials->SetLayoutSource(
      [this]() -> const Ombrel::CLayout2D* { return m_scene ? m_scene->GetViewLayout() : nullptr; });
  m_tutorialDialog = AttachToLayer(
      new CTutorialDialog(FindLayout("MenuDialog"), m_cursor.get(), m_world.get(), m_hud, GetDictionary(), m_sounds.get()),
      "Intermediate");
}

// The location logic, handed every screen it drives: the puzzles, the close-up view and the
// hidden-object scene are made here, the display, the frames, the dialog, the cursors and the
// tutorial before. One the game has not made (the bonus story has no tutorial) is passed as
// null and the location logic goes on without it.
void CGame::CreateScene() {
  m_bucketNode = new Ombrel::CSprite2DNode("BucketNode", nullptr);
  m_bucketNode->SetDrawn(false);
  m_bucketNode = AttachToLayer(m_bucketNode, "BucketLayer");
  m_layouts = std::make_unique<CResourceLayoutShelf>(Ombrel::GetResourceManager());
  CreateMiniGames();
  CreateCloseUp();
  CreateHiddenObjects();
  SSceneParts parts;
  parts.closeUp = m_closeUp.get();
  parts.world = m_world.get();
  parts.layouts = m_layouts.get();
  parts.hud = m_hud;
  parts.cursor = m_cursor.get();
  parts.sounds = m_sounds.get();
  parts.itemFrame = m_itemFrame;
  parts.dialog = m_dialog;
  parts.tutorials = m_tutorials.get();
  parts.tutorialQuestion = m_tutorialDialog;
  parts.emitters = m_effects.scene.get();
  parts.hints = m_effects.sceneHints;
  parts.emitterNode = m_effects.sceneNode;
  parts.captureNode = m_quickNodes[kSceneCapture];
  parts.upperRenderNode = m_quickNodes[kUpperRender];
  parts.dragNode = m_bucketNode;
  parts.saveGame = [] {
    if (Ombrel::CDataSaver* saver = Ombrel::GetActiveDataSaver()) saver->SaveGame();
  };
  parts.hiddenObjects = m_hiddenObjects.get();
  for (uint32_t i = 0; i < kMiniGameCount; ++i) parts.miniGames[i] = m_miniGames[i];
  parts.bonus = m_story.bonus;
  m_scene = std::make_unique<CScene>(std::move(parts));
  if (m_hiddenObjects) m_hiddenObjects->SetScene(m_scene.get());
}

// The hidden-object scenes share the location logic's layout shelf.
void CGame::CreateHiddenObjects() {
  if (m_hud) m_hiddenObjectsHud = std::make_unique<CPlayerHiddenObjectsHud>(*m_hud, FindEmitter("HintGlow"));
  SHiddenObjectsParts parts;
  parts.world = m_world.get();
  parts.layouts = m_layouts.get();
  parts.hud = m_hud;
  parts.list = m_hiddenObjectsHud.get();
  parts.cursor = m_cursor.get();
  parts.itemFrame = m_itemFrame;
  parts.emitters = m_effects.hiddenObjects.get();
  parts.sceneEmitters = m_effects.scene.get();
  parts.foundPool = m_effects.found;
  parts.trailPool = m_effects.trail;
  parts.hintEffect = FindEmitter("HO_Object_Hint");
  parts.cursorEffect = FindEmitter("Cursor");
  parts.dictionary = GetDictionary();
  CSoundContainer* sounds = m_sounds.get();
  parts.playSound = [sounds](const std::string& name) {
    if (sounds) sounds->PlaySoundByName(name.c_str(), 1.0f);
  };
  parts.switchMusic = [](int32_t phase) { SwitchMusic(phase); };
  parts.bonus = m_story.bonus;
  m_hiddenObjects = std::make_unique<CHiddenObjects>(std::move(parts));
}

// The close-up view over its frame; its mini-game links open the story's puzzles.
void CGame::CreateCloseUp() {
  SIntermediateParts parts;
  parts.world = m_world.get();
  parts.layouts = m_layouts.get();
  parts.hud = m_hud;
  parts.cursor = m_cursor.get();
  parts.sounds = m_sounds.get();
  parts.itemFrame = m_itemFrame;
  parts.dialog = m_dialog;
  parts.frame = FindLayout("IntermediateFrame");
  parts.emitters = m_effects.closeUp.get();
  parts.emitterNode = m_effects.closeUpNode.get();
  parts.hints = m_effects.closeUpHints;
  parts.closeUpCapture = m_quickNodes[kIntermediateCapture];
  parts.sceneCapture = m_quickNodes[kSceneCapture];
  for (uint32_t i = 0; i < kMiniGameCount; ++i) parts.miniGames[i] = m_miniGames[i];
  parts.bonus = m_story.bonus;
  m_closeUp = std::make_unique<CIntermediate>(std::move(parts));
}

// The story's puzzles in index order, each on its layout "Game01".."Game08" with the objects
// every puzzle shares; a puzzle not built is a null entry, whose links open nothing. Each
// puzzle's creation is one block below, marked by its name.
void CGame::CreateMiniGames() {
  if (m_story.bonus) return CreateBonusMiniGame();
  const SMiniGameShared shared = MiniGameShared();
  // --- puzzles, one block each, in index order (the order they are made in) ---
  {  // G01, the jewel box
    SJewelBoxParts box;
    box.activeConnector = FindTexture("Connector_active");
    box.inactiveConnector = FindTexture("Connector_inactive");
    box.socketSparkle = FindEmitter("HO_HandleHint");
    box.boxOpened = FindEmitter("BoxOpened");
    box.completion = m_effects.game1[0];
    box.redBursts = m_effects.game1[1];
    box.greenBursts = m_effects.game1[2];
    m_miniGames[0] = new CMiniGame1(FindLayout("Game01"), shared, box);
  }
  {  // G02, the key puzzle: its win opens the way on in S06
    m_miniGames[1] = new CMiniGame2(FindLayout("Game02"), shared);
  }
  {  // G03, the combination lock: its win opens the front door of S06
    m_miniGames[2] = new CMiniGame3(FindLayout("Game03"), shared);
  }
  {  // G04, the paint colour puzzle: its win opens the box of close-up I05
    m_miniGames[3] = new CMiniGame4(FindLayout("Game04"), shared);
  }
  {  // G05, the balls: its win opens the safe of S12 and its close-up
    const CMiniGame5::SPools pools{m_effects.MiniGamePool("ExplodeEmitters"), m_effects.MiniGamePool("TrailEmitters"),
                                   m_effects.MiniGamePool("CollideEmitters"), m_effects.MiniGamePool("AppearEmitters")};
    m_miniGames[4] = new CMiniGame5(shared, FindLayout("Game05"), pools);
  }
  {  // G06, the gears and switches: its win opens the gate of S22
    m_miniGames[5] = new CMiniGame6(shared, FindLayout("Game06"));
  }
  {  // G07, the pipes: its leaks spill from one pool a side; its win opens the door of S31
    const std::array<CEmitterPool*, 4> leaks = {
        m_effects.MiniGamePool("BloodUEmitters"), m_effects.MiniGamePool("BloodREmitters"),
        m_effects.MiniGamePool("BloodDEmitters"), m_effects.MiniGamePool("BloodLEmitters")};
    m_miniGames[6] = new CMiniGame7(FindLayout("Game07"), shared, leaks);
  }
  {  // G11, the gear train
    m_miniGames[7] = new CMiniGame11(FindLayout("Game08"), shared, m_effects.MiniGamePool("SparkEmitters"));
  }
  // --- end of puzzles ---
  for (CMiniGameBase*& game : m_miniGames)
    if (game) game = AttachToLayer(game, "MiniGame");
}

// The arcade machine, on the bonus chapter's "Game01" (the story's jewel box has that name in the
// story's own list); it darkens the cabinet in the games room while that location is loaded.
void CGame::CreateBonusMiniGame() {
  auto* arcade = new CCollectorsMiniGame1(FindLayout("Game01"), MiniGameShared(), m_itemFrame);
  m_miniGames[CCollectorsMiniGame1::kIndex] = AttachToLayer<CMiniGameBase>(arcade, "MiniGame");
}

SMiniGameShared CGame::MiniGameShared() {
  SMiniGameShared shared;
  shared.capture = m_captureTexture;
  shared.blur = m_frozen.get();
  shared.world = m_world.get();
  shared.player = m_hud;
  shared.cursor = m_cursor.get();
  shared.emitters = m_effects.miniGame.get();
  shared.effectsNode = m_effects.miniGameNode;
  shared.dialog = m_dialog;
  shared.sounds = m_sounds.get();
  shared.help = m_gameHelp.get();
  shared.layouts = m_layouts.get();
  return shared;
}

CMiniGameBase* CGame::GetMiniGame(uint32_t index) const {
  return index < kMiniGameCount ? m_miniGames[index] : nullptr;
}

// The saved location, or the first one for a new game.
void CGame::EnterFirstLocation() {
  if (m_sounds) {
    if (m_story.bonus) {
      m_sounds->LoadBonusGameSounds(Ombrel::GetResourceManager());
    } else {
      m_sounds->LoadGameSounds(Ombrel::GetResourceManager());
    }
    if (const SSaveData* save = GetSaveData()) {
      CSoundContainer::SetSoundVolume(save->soundVolume);
      CSoundContainer::SetMusicVolume(save->musicVolume);
    }
  }
  const SSaveData* save = GetSaveData();
  const SProfileData* profile = save ? save->CurrentProfile() : nullptr;
  const uint32_t location = profile && profile->location != kNoLocation ? profile->location : 0;
  m_scene->LoadScene(location);
}

void CGame::CreateSceneRenderer() {
  m_sceneRenderer = AttachToLayer(
      new CSceneRenderer("Scene", &m_scene->GetRenderView(), m_captureTexture, m_frozen.get(), 0), "Scene");
  CFrozenPicture* frozen = m_frozen.get();
  CIntermediateRenderer::FrozenBackdrop backdrop;
  if (frozen) backdrop = [frozen](float strength) { return frozen->DrawFrozen(strength); };
  m_closeUpRenderer = AttachToLayer(new CIntermediateRenderer("Intermediate", m_closeUp.get(), backdrop), "Intermediate");
  if (m_hiddenObjects)
    m_hiddenObjectsRenderer = AttachToLayer(new CHiddenObjectsRenderer(*m_hiddenObjects), "HiddenObjects");
}

// The nodes on layers go with the scene group; what the state holds itself goes here.
void CGame::ReleaseScreens() {
  m_sceneRenderer = nullptr;
  m_closeUpRenderer = nullptr;
  m_hiddenObjectsRenderer = nullptr;
  m_scene.reset();
  m_tutorials.reset();
  m_tutorialNode = nullptr;
  m_tutorialDialog = nullptr;
  m_closeUp.reset();
  m_hiddenObjects.reset();
  m_hiddenObjectsHud.reset();
  m_layouts.reset();
  m_frozen.reset();
  m_captureTexture = nullptr;
  m_cursor.reset();
  m_hud = nullptr;
  m_itemFrame = nullptr;
  m_dialog = nullptr;
  m_mapFrame = nullptr;
  m_diary = nullptr;
  m_diaryEntries.reset();
  m_gameHelp.reset();
  m_bucketNode = nullptr;
  m_cursorSprite = nullptr;
  for (CMiniGameBase*& game : m_miniGames) game = nullptr;
}

}  // namespace Vey
