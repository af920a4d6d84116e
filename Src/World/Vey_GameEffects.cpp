#include "Src/World/Vey_GameEffects.h"

#include "Framework/Scene/omSceneManager.h"
#include "Framework/omRenderModule.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_MPManager.h"

#include <algorithm>
#include <cstring>

namespace Vey {

namespace {

constexpr const char* kVeyGameEffectsSource = "Src/World/Vey_GameEffects";
constexpr const char* kCursorFile = "Art\\GUI\\Cursor\\Effects\\Cursor.ptc";

// Locations 3 and 6 have no file; the last two hold the hidden-object marker and the hint.
const char* const kLocationFiles[] = {
    "Art\\Environments\\Scene01\\Effects\\scene01.ptc",      "Art\\Environments\\Scene02\\Effects\\S02.ptc",
    "Art\\Environments\\Scene04\\Effects\\S04.ptc",          "Art\\Environments\\Scene05\\Effects\\S05.ptc",
    "Art\\Environments\\Scene07\\Effects\\S07.ptc",          "Art\\Environments\\Scene08\\Effects\\S08.ptc",
    "Art\\Environments\\Scene09\\Effects\\S09.ptc",          "Art\\Environments\\Scene10\\Effects\\S10.ptc",
    "Art\\Environments\\Scene11\\Effects\\S11.ptc",          "Art\\Environments\\Scene12\\Effects\\S12.ptc",
    "Art\\Environments\\Scene13\\Effects\\S13.ptc",          "Art\\Environments\\Scene14\\Effects\\S14.ptc",
    "Art\\Environments\\Scene15\\Effects\\S15.ptc",          "Art\\Environments\\Scene16\\Effects\\S16.ptc",
    "Art\\Environments\\Scene17\\Effects\\S17.ptc",          "Art\\Environments\\Scene18\\Effects\\S18.ptc",
    "Art\\Environments\\Scene19\\Effects\\S19.ptc",          "Art\\Environments\\Scene20\\Effects\\S20.ptc",
    "Art\\Environments\\Scene21\\Effects\\S21.ptc",          "Art\\Environments\\Scene22\\Effects\\S22.ptc",
    "Art\\Environments\\Scene23\\Effects\\S23.ptc",          "Art\\Environments\\Scene24\\Effects\\S24.ptc",
    "Art\\Environments\\Scene25\\Effects\\S25.ptc",          "Art\\Environments\\Scene26\\Effects\\S26.ptc",
    "Art\\Environments\\Scene27\\Effects\\Scene27.ptc",      "Art\\Environments\\Scene28\\Effects\\S28.ptc",
    "Art\\Environments\\Scene29\\Effects\\S29.ptc",          "Art\\Environments\\Scene30\\Effects\\S30.ptc",
    "Art\\Environments\\Scene31\\Effects\\S31.ptc",          "Art\\Environments\\Scene32\\Effects\\S32.ptc",
    "Art\\Environments\\Scene33\\Effects\\S33.ptc",          "Art\\Environments\\Scene34\\Effects\\S34.ptc",
    "Art\\Environments\\Scene35\\Effects\\S35.ptc",          "Art\\CommonEffects\\HiddenObjects\\hiddenObjectScene.ptc",
    "Art\\CommonEffects\\HiddenObjects\\HO_Handle_Hint.ptc",
};

const char* const kSceneMembers[] = {
    "HiddenObjectScene",
    "S01_Knife",
    "S01_DoorShake",
    "S01_Background",
    "S02_Background",
    "S04_LampLit",
    "S04BGdark",
    "S04BGlit",
    "S05_Background",
    "S07_Background",
    "S08_Background",
    "S09_Background",
    "S10_Rag",
    "S10_Background",
    "S11_Background",
    "S12_Rake",
    "S12_BarnDoorLight",
    "S12_Background",
    "S13_OilLamp",
    "S13_Background",
    "S14_PicDust",
    "S14_BGfirst_Time",
    "S14_BGlamp_Lit",
    "S15_ElderCough",
    "S15_ElderDust",
    "S15_Medalion",
    "S15_MedalionAppear",
    "S15_Background",
    "S16_Background",
    "S17_Coin",
    "S17_SinkFlowing",
    "S17_Background",
    "S18_DoorOpening",
    "S18_Background",
    "S19_Hammer",
    "S19_Saw",
    "S19_Axe",
    "S19_Stone",
    "S19_TreeCut",
    "S19_BoxFalling",
    "S19_Background",
    "S20_Plane_Tool",
    "S20_Background",
    "S21_WolfPaw",
    "S21_Background",
    "S22_Pickaxe",
    "S22_Background",
    "S23_Shovel",
    "S23_Background",
    "S24_Gate",
    "S24_Machette ",
    "S24_ElectricSphere",
    "S24_Background",
    "S25_LampLight",
    "S25_Background",
    "S26_Fabric",
    "S26_StrongWind",
    "S26_Background",
    "S27_FireIron",
    "S27_Fire",
    "S27_SteamSmoke",
    "S27_Background",
    "S27_Bucket",
    "S27_Gloves",
    "S28_Candle",
    "S28_Hammer",
    "S28_Code",
    "S28_Background",
    "S29_Background",
    "S30_Torch",
    "S30_Background",
    "S30_Bucket",
    "S31_Background",
    "S32_Axe",
    "S32_SpireWeb",
    "S32_BG",
    "S33_El_Switch",
    "S33_Background",
    "S34_DeviceOpen",
    "S34_HoleOpen",
    "S34_Background",
    "S35_Background",
    "S35_WolfTransformation",
    "S35_PostTransformation",
};

const char* const kCloseUpFiles[] = {
    "Art\\Environments\\Intermediate01\\Effects\\I01.ptc",   "Art\\Environments\\Intermediate02\\Effects\\I02.ptc",
    "Art\\Environments\\Intermediate03\\Effects\\I03.ptc",   "Art\\Environments\\Intermediate04\\Effects\\I04.ptc",
    "Art\\Environments\\Intermediate04a\\Effects\\I04a.ptc", "Art\\Environments\\Intermediate04b\\Effects\\I04b.ptc",
    "Art\\Environments\\Intermediate06\\Effects\\I06.ptc",   "Art\\Environments\\Intermediate07\\Effects\\I07.ptc",
    "Art\\Environments\\Intermediate08\\Effects\\I08.ptc",   "Art\\Environments\\Intermediate09\\Effects\\I09.ptc",
    "Art\\Environments\\Intermediate09a\\Effects\\I09a.ptc", "Art\\Environments\\Intermediate09b\\Effects\\I09b.ptc",
    "Art\\Environments\\Intermediate09c\\Effects\\I09c.ptc", "Art\\Environments\\Intermediate10\\Effects\\I10.ptc",
    "Art\\Environments\\Intermediate11\\Effects\\I11.ptc",   "Art\\Environments\\Intermediate12\\Effects\\I12.ptc",
    "Art\\Environments\\Intermediate13\\Effects\\I13.ptc",   "Art\\Environments\\Intermediate15\\Effects\\I15.ptc",
    "Art\\Environments\\Intermediate16\\Effects\\I16.ptc",   "Art\\Environments\\Intermediate17\\Effects\\I17.ptc",
    "Art\\Environments\\Intermediate18\\Effects\\I18.ptc",   "Art\\Environments\\Intermediate19\\Effects\\I19.ptc",
    "Art\\Environments\\Intermediate19a\\Effects\\I19a.ptc", "Art\\Environments\\Intermediate20\\Effects\\I20.ptc",
    "Art\\Environments\\Intermediate21\\Effects\\I21.ptc",   "Art\\Environments\\Intermediate21a\\Effects\\I21a.ptc",
    "Art\\Environments\\Intermediate21b\\Effects\\I21b.ptc", "Art\\Environments\\Intermediate22\\Effects\\I22.ptc",
};

const char* const kCloseUpMembers[] = {
    "I01_Background",   "BoxOpened",        "I02_Background",  "I03_Background",     "I04_KeyBlink",
    "I04_Background",   "I04a_WireApplied", "I04a_Background", "I04b_AmuletApplied", "I04b_Background",
    "I06_RingsApplied", "I06_Background",   "I07_Background",  "I08_SmallKnife",     "I08_Background",
    "I09_Background",   "I09a_Background",  "I09b_Medalion",   "I09b_Background",    "I09c_Handle",
    "I09c_Background",  "I10_Gear",         "I10_OilCan",      "I10_Crystal",        "I10_Switch",
    "I10_Complete",     "I10_Background",   "I11_HoleLit",     "I11_Background",     "I12_Trowel",
    "I12_Background",   "I13_Background",   "I15_LampLit",     "I15_Background",     "I16_Hacksaw",
    "I16_Background",   "I17_Star1",        "I17_Star2",       "I17_Star3",          "I17_Star4",
    "I17_Star5",        "I17_BoxOpen",      "I17_Background",  "I18_PaperFlaming",   "I18_PaperOnFire",
    "I18_Candle",       "I18_Torch",        "I18_Background",  "I19_Background",     "I19a_Sledgehammer ",
    "I19a_Background",  "I20_LampLit",      "I20_Oil",         "I20_Matches",        "I20_Background",
    "I21_AquariumPot ", "I21_Background",   "I21a_Crown",      "I21a_Background",    "I21b_LockActive",
    "I21b_Background",  "I22_HoleOpen",     "I22_Background",
};

const char* const kMiniGameFiles[] = {
    "Art\\Environments\\Game01\\Effects\\G01.ptc",    "Art\\Environments\\Game02\\Effects\\G02.ptc",
    "Art\\Environments\\Game03\\Effects\\Game03.ptc", "Art\\Environments\\Game04\\Effects\\G04.ptc",
    "Art\\Environments\\Game05\\Effects\\G05.ptc",    "Art\\Environments\\Game06\\Effects\\G06\\G06.ptc",
    "Art\\Environments\\Game07\\Effects\\G07.ptc",    "Art\\Environments\\Game11\\Effects\\Game11.ptc",
};

const char* const kMiniGameMembers[] = {
    "G01_RedDiamondAdded", "G01_GreenDiamondAdded",
    "G01_Completed",       "G01_Background",
    "G02_KeyAssembled",    "G02_Key01",
    "G02_Key02",           "G02_Key03",
    "G02_Key04",           "G02_Key05",
    "G02_Key06",           "G02_Key07",
    "G02_Key08",           "G02_Key09",
    "G02_Key10",           "G02_Key11",
    "G02_Key12",           "G02_Key13",
    "G02_Key14",           "G02_Key15",
    "G02_Key16",           "G02_Key17",
    "G02_Key18",           "G03_Tissue ",
    "G03_BigWheelDust",    "G03_SmallWheelDust",
    "G03_Complete",        "G03_Background",
    "G04_Background",      "G05_Complete",
    "G05_CompleteB",       "G05_Background",
    "G06_Complete",        "G06_Background",
    "G07_Background",      "G11_Complete",
    "G11_Background",
};

const char* const kHiddenObjectFiles[] = {
    "Art\\Environments\\HiddenObjects01\\Effects\\HO01.ptc", "Art\\Environments\\HiddenObjects02\\Effects\\HO02.ptc",
    "Art\\Environments\\HiddenObjects03\\Effects\\HO03.ptc", "Art\\Environments\\HiddenObjects04\\Effects\\HO04.ptc",
    "Art\\Environments\\HiddenObjects05\\Effects\\HO05.ptc", "Art\\Environments\\HiddenObjects06\\Effects\\HO06.ptc",
    "Art\\Environments\\HiddenObjects07\\Effects\\HO07.ptc", "Art\\Environments\\HiddenObjects08\\Effects\\HO08.ptc",
    "Art\\Environments\\HiddenObjects09\\Effects\\HO09.ptc",
};

const char* const kHiddenObjectMembers[] = {
    "HO01_Background", "HO02_Background", "HO03_Background", "HO04_Background", "HO05_Background",
    "HO06_Background", "HO07_Background", "HO08_Background", "HO09_Background",
};

const char* const kCommonFiles[] = {
    "Art\\CommonEffects\\ObjectFound\\ObjectFound.ptc",      "Art\\GUI\\HUD\\Effects\\HintGlow\\HintGlow.ptc",
    "Art\\GUI\\HUD\\Effects\\New Entry\\NewEntry.ptc",       "Art\\CommonEffects\\HiddenObjects\\Ho_Object_Hint.ptc",
    "Art\\CommonEffects\\HiddenObjects\\HO_Word_Stroke.ptc",
};

// The bonus chapter's: its own places under "Collectors", the markers and the common effects
// shared with the main story.
const char* const kBonusLocationFiles[] = {
    "Art\\Environments\\Collectors\\Scene01\\Effects\\S01.ptc",
    "Art\\Environments\\Collectors\\Scene02\\Effects\\S02.ptc",
    "Art\\Environments\\Collectors\\Scene03\\Effects\\S03.ptc",
    "Art\\Environments\\Collectors\\Scene04\\Effects\\S04.ptc",
    "Art\\Environments\\Collectors\\Scene05\\Effects\\S05.ptc",
    "Art\\CommonEffects\\HiddenObjects\\hiddenObjectScene.ptc",
    "Art\\CommonEffects\\HiddenObjects\\HO_Handle_Hint.ptc",
};
const char* const kBonusSceneMembers[] = {"HiddenObjectScene", "S01_Background", "S02_Background", "S03_Background",
                                          "S03_SecretDoor",    "S03_DoorOpen",   "S04_Background", "S04_MonitorOff",
                                          "S04_MonitorOn",     "S05_CandleLit",  "S05_Background"};
const char* const kBonusCloseUpFiles[] = {
    "Art\\Environments\\Collectors\\Intermediate01\\Effects\\I01.ptc",
    "Art\\Environments\\Collectors\\Intermediate02\\Effects\\I02.ptc",
    "Art\\Environments\\Collectors\\Intermediate03\\Effects\\I03.ptc",
    "Art\\Environments\\Collectors\\Intermediate04\\Effects\\I04.ptc",
    "Art\\Environments\\Collectors\\Intermediate05\\Effects\\I05.ptc",
};
const char* const kBonusCloseUpMembers[] = {"I01_DiamondApplied", "I01_CoinApplied", "I01_Background", "I02_Background",
                                            "I03_Brick",          "I03_Background",  "I04_Background", "I05_Lighter",
                                            "I05_Letter",         "I05_CandleLit"};
const char* const kBonusMiniGameFiles[] = {"Art\\Environments\\Collectors\\Game01\\Effects\\G01.ptc"};
const char* const kBonusMiniGameMembers[] = {"G01_MonitorOn", "G01_MonitorGoingOff", "G01_Smoke", "G01_Coin",
                                             "G01_Background"};
const char* const kBonusHiddenObjectFiles[] = {
    "Art\\Environments\\Collectors\\HiddenObjects01\\Effects\\HO01.ptc",
    "Art\\Environments\\Collectors\\HiddenObjects02\\Effects\\HO02.ptc",
};
const char* const kBonusHiddenObjectMembers[] = {"HO01_Background", "HO02_Background"};

// A list of names, as the tables above hold them.
struct SNames {
  const char* const* names;
  size_t count;
  const char* const* begin() const { return names; }
  const char* const* end() const { return names + count; }
};
template <size_t N>
constexpr SNames NamesOf(const char* const (&names)[N]) {
  return {names, N};
}

// One story's effect files, in loading order, and the members of its four groups, in the order
// of EEffectGroup. Only the main story has the puzzles' pools.
struct SStoryEffects {
  SNames files[5];
  SNames members[4];
  bool puzzlePools;
};

const SStoryEffects kMainEffects = {
    {NamesOf(kLocationFiles), NamesOf(kCloseUpFiles), NamesOf(kMiniGameFiles), NamesOf(kHiddenObjectFiles),
     NamesOf(kCommonFiles)},
    {NamesOf(kSceneMembers), NamesOf(kCloseUpMembers), NamesOf(kMiniGameMembers), NamesOf(kHiddenObjectMembers)},
    true};
const SStoryEffects kBonusEffects = {
    {NamesOf(kBonusLocationFiles), NamesOf(kBonusCloseUpFiles), NamesOf(kBonusMiniGameFiles),
     NamesOf(kBonusHiddenObjectFiles), NamesOf(kCommonFiles)},
    {NamesOf(kBonusSceneMembers), NamesOf(kBonusCloseUpMembers), NamesOf(kBonusMiniGameMembers),
     NamesOf(kBonusHiddenObjectMembers)},
    false};

// A pool: its name, how many copies, the emitter it copies and the layer it is drawn on (null:
// none, the screen that uses it draws it).
struct SPoolSpec {
  const char* name;
  uint32_t copies;
  const char* emitter;
  const char* layer;
};

constexpr SPoolSpec kHintPools[] = {{"SceneHints", 10, "HO_HandleHint", "SceneEffects"},
                                    {"SceneHints", 10, "HO_HandleHint", "IntermediateEffects"}};
constexpr SPoolSpec kHudPools[] = {{"FoundEmitters", 10, "ObjectFound", "HiddenObjectsEffects"},
                                   {"TailEmitters", 10, "ObjectTrail", "HUDEffects"},
                                   {"StrokeEmitters", 10, "HO_Word_Stroke", "HUDEffects"}};
// Copies of members of the mini-game group.
constexpr SPoolSpec kGame1Pools[] = {{"Game1Emitters", 6, "G01_Completed", "MiniGameEffects"},
                                     {"Game1Emitters2", 8, "G01_RedDiamondAdded", "MiniGameEffects"},
                                     {"Game1Emitters3", 8, "G01_GreenDiamondAdded", "MiniGameEffects"}};
constexpr SPoolSpec kMiniGamePools[] = {
    {"ExplodeEmitters", 4, "G05_Explode", nullptr},  {"TrailEmitters", 4, "G05_Trail", nullptr},
    {"CollideEmitters", 4, "G05_Collide", nullptr},  {"AppearEmitters", 4, "G05_Appear", nullptr},
    {"SparkEmitters", 4, "G11_GearSparks", nullptr}, {"BloodUEmitters", 4, "G07_BloodU", nullptr},
    {"BloodREmitters", 4, "G07_BloodR", nullptr},    {"BloodDEmitters", 4, "G07_BloodD", nullptr},
    {"BloodLEmitters", 4, "G07_BloodL", nullptr}};

void LoadFiles(SNames files) {
  MP::CManager* manager = MP::CManager::GetInstance();
  if (!manager) return;
  for (const char* file : files) {
    if (!manager->LoadFile(file)) HM_REPORT(kVeyGameEffectsSource, "Particle file \"%s\" was not loaded", file);
  }
}

MP::CEmitter* FindManagerEmitter(const char* name) {
  MP::CManager* manager = MP::CManager::GetInstance();
  MP::CEmitter* emitter = manager ? manager->FindEmitter(name) : nullptr;
  if (!emitter) HM_REPORT(kVeyGameEffectsSource, "No particle emitter \"%s\" in the loaded effect files", name);
  return emitter;
}

MP::CEmitter* FindGroupEmitter(const CEmitterGroup& group, const char* name) {
  auto* node = group.GetEmitters().Find(name);
  if (!node) HM_REPORT(kVeyGameEffectsSource, "No particle emitter \"%s\" in the mini-game effects", name);
  return node ? node->value : nullptr;
}

std::unique_ptr<CEmitterGroup> MakeGroup(SNames members) {
  auto group = std::make_unique<CEmitterGroup>();
  for (const char* name : members) {
    if (MP::CEmitter* emitter = FindManagerEmitter(name)) group->Add(emitter);
  }
  return group;
}

// A pool of a missing emitter is not made: nothing would be left to copy.
CEmitterPool* MakePool(const SPoolSpec& spec, MP::CEmitter* source) {
  if (!source) return nullptr;
  return new CEmitterPool(spec.copies, spec.name, *source);
}

CEmitterPool* MakeLayerPool(const SPoolSpec& spec, MP::CEmitter* source) {
  CEmitterPool* pool = MakePool(spec, source);
  return pool ? AttachToLayer(pool, spec.layer) : nullptr;
}

SNames Members(const SStoryEffects& story, EEffectGroup group) { return story.members[int(group)]; }

void BuildGroups(SGameEffects& effects, const SStoryEffects& story) {
  effects.scene = MakeGroup(Members(story, EEffectGroup::Scene));
  effects.sceneNode = AttachToLayer(new CEmitterGroupNode("SceneEmitters", effects.scene.get()), "SceneEffects");
  effects.closeUp = MakeGroup(Members(story, EEffectGroup::CloseUp));
  effects.closeUpNode = std::make_unique<CEmitterGroupNode>("IntermediateEmitters", effects.closeUp.get());
  effects.miniGame = MakeGroup(Members(story, EEffectGroup::MiniGame));
  effects.miniGameNode =
      AttachToLayer(new CEmitterGroupNode("MiniGameEmitters", effects.miniGame.get()), "MiniGameEffects");
  effects.hiddenObjects = MakeGroup(Members(story, EEffectGroup::HiddenObjects));
  effects.hiddenObjectsNode = AttachToLayer(new CEmitterGroupNode("HiddenObjectsEmitters", effects.hiddenObjects.get()),
                                            "HiddenObjectsEffects");
}

void BuildPools(SGameEffects& effects, const SStoryEffects& story) {
  effects.sceneHints = MakeLayerPool(kHintPools[0], FindManagerEmitter(kHintPools[0].emitter));
  effects.closeUpHints = MakeLayerPool(kHintPools[1], FindManagerEmitter(kHintPools[1].emitter));
  CEmitterPool** hudPools[] = {&effects.found, &effects.trail, &effects.stroke};
  for (size_t i = 0; i < 3; ++i) *hudPools[i] = MakeLayerPool(kHudPools[i], FindManagerEmitter(kHudPools[i].emitter));
  if (!story.puzzlePools) return;
  for (size_t i = 0; i < 3; ++i) {
    effects.game1[i] = MakeLayerPool(kGame1Pools[i], FindGroupEmitter(*effects.miniGame, kGame1Pools[i].emitter));
  }
  for (const SPoolSpec& spec : kMiniGamePools) {
    if (CEmitterPool* pool = MakePool(spec, FindManagerEmitter(spec.emitter))) effects.miniGamePools.emplace_back(pool);
  }
}

}  // namespace

CEmitterPool* SGameEffects::MiniGamePool(const char* name) const {
  for (const auto& pool : miniGamePools) {
    if (std::strcmp(pool->GetName().GetText(), name) == 0) return pool.get();
  }
  return nullptr;
}

std::vector<CEmitterPool*> SGameEffects::LayerPools() const {
  std::vector<CEmitterPool*> pools = {sceneHints, closeUpHints, found, trail, stroke, game1[0], game1[1], game1[2]};
  pools.erase(std::remove(pools.begin(), pools.end(), nullptr), pools.end());
  return pools;
}

// The scene manager reports and deletes a node it cannot take.
bool AttachNodeToLayer(Ombrel::ISceneNode* node, const char* layer) {
  if (Ombrel::CSceneManager* scene = Ombrel::GetSceneManager()) return scene->AddNode(node, layer) >= 0;
  HM_REPORT(kVeyGameEffectsSource, "No scene manager for the node \"%s\"", node->GetName().GetText());
  delete node;
  return false;
}

void CreateParticleManager() {
  MP::CManager* manager = MP::CManager::CreateInstance();
  if (manager && !manager->LoadFile(kCursorFile))
    HM_REPORT(kVeyGameEffectsSource, "Particle file \"%s\" was not loaded", kCursorFile);
}

std::vector<std::string> GroupMembers(EEffectGroup group, bool bonus) {
  const SNames names = Members(bonus ? kBonusEffects : kMainEffects, group);
  return std::vector<std::string>(names.begin(), names.end());
}

void SetUpGameEffects(SGameEffects& effects, bool bonus) {
  const SStoryEffects& story = bonus ? kBonusEffects : kMainEffects;
  for (SNames files : story.files) LoadFiles(files);
  BuildGroups(effects, story);
  BuildPools(effects, story);
}

// The pools on layers stay as empty nodes until the scene group deletes them.
void ReleaseGameEffects(SGameEffects& effects) {
  effects.miniGamePools.clear();
  for (CEmitterPool* pool : effects.LayerPools()) pool->ReleaseEmitters();
  MP::CManager::DeleteInstance();
  effects = SGameEffects();
}

}  // namespace Vey
