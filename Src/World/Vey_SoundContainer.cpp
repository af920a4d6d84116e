#include "Src/World/Vey_SoundContainer.h"

#include "Framework/Resources/ResourceTypes/omResourceSound.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/omSoundModule.h"
#include "Quor/CSoundManager.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_SaveData.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace Vey {

namespace {

constexpr const char* kVeySoundContainerSource = "Src/World/Vey_SoundContainer.cpp";

// The lists in slot order; each ends with its music slots.
constexpr const char* kMenuNames[] = {
    "menu_accept", "menu_back", "menu_nav", "mouse_over", "key_take", "key_good", "key_back", "puzzlesolved",
    "menu"};

constexpr const char* kGameNames[] = {
    "diary_close", "diary_open", "diary_page", "elecloop", "amb_lighthouse_wind", "candle_loop", "fire",
    "amb_bath", "amb_cave", "amb_fridge", "amb_insideboat", "amb_lighthouse", "amb_outsidecave",
    "amb_ritualroom", "amb_river", "amb_spiderweb", "amb_woods", "amb_house", "amb_roomupstairs", "amb_boat",
    "screen1", "screen2", "hiddenob1", "screen4", "screen5", "screen7", "cat_angry", "cat_meuw", "chest_close",
    "chest_open", "closet_open", "closet_close", "combine", "door_in_close", "door_in_open", "door_knock",
    "door_out_open", "door_unlock", "biglock", "biglock_unlock", "tinylock", "tinylock_unlock",
    "basement_door", "box_breakopen", "box_fall", "box_untie", "bub_hit", "bub_move", "bub_select",
    "bucket_fill", "bucket_put", "bucket_take", "chainlock", "unlock", "drawer", "gate_open", "gatelock1",
    "gatelock2", "menu_accept", "menu_back", "menu_nav", "mouse_over", "picture_open", "pipe_loop",
    "pipe_turn1", "pipe_turn2", "star", "textbox", "trow", "zombie_die", "zombie_drink", "zombie_grunt",
    "item_bottle", "item_matches", "item_crystal", "item_glassy", "item_keys", "item_knife", "item_metal",
    "item_paper", "item_wood", "item_found", "locked", "matcheslit", "mouse", "purse", "puzzlesolved", "cut",
    "cursorshatter", "insert_crystal", "missed", "rattle", "small_box_locked", "small_box_unlocked",
    "light_open", "wipe", "wipe2", "saw_loop", "saw_done", "wire", "g_clock", "key_place1", "car_open", "pour",
    "anim_chainsaw", "small_ship", "flashlight", "brick", "foot", "hit", "dig", "water", "orb", "candle",
    "safe", "coin", "oil", "cloth", "fire_out", "chop", "burn", "small", "lighbulb", "tiny", "bear", "fridge",
    "potion", "gearin", "gearout", "unlockroll", "rollgears", "color", "foot_house1", "foot_house2",
    "foot_echo", "foot_gravel", "foot_hard_in", "foot_hard_out", "foot_wood", "in_1", "in_2", "in_3", "in_4",
    "in_5", "in_6", "in_7", "in_8", "in_9", "in_10", "out_1", "out_2", "out_3", "out_4", "out_5", "out_6",
    "out_7", "out_8", "out_9", "out_10", "found", "inter_in", "inter_out", "dead", "keys_drop", "gear_fit",
    "farm_door", "comb_fail", "comb_unlock", "oil_pour", "mort_app", "door", "glassknock", "keyhole",
    "boxfall", "axe_anim", "anim_hammer", "anim_wood", "anim_woodplane", "anim_chaircut", "anim_rag",
    "anim_rake", "anim_rings", "safe_open", "anim_dust", "anim_pickaxe", "anim_safe", "anim_sledge",
    "anim_machete", "anim_sakos", "anim_fire", "anim_transform", "anim_brick", "anim_dig", "anim_potionbox",
    "anim_ringsaw", "anim_paperburn", "anim_crown_shovel", "anim_outfire", "anim_crownsafe", "anim_redlock",
    "anim_candle", "anim_aqua", "entrance_door", "g1comp", "i3_box", "i3_boxopen", "hos2box", "windupclock",
    "parkgate", "elec_down", "medal_app", "medal_drop", "door_medal", "liuk", "rope", "gatechain", "leaves",
    "orboff", "lock", "hos1box", "were_box", "door_aura", "paw", "hatch", "wolfhead", "wolfmouth", "door28",
    "door25", "door29", "fridge_hatch", "key_take", "key_good", "key_bad", "key_back", "paint1", "paint2",
    "paint3", "paint4", "paint_bad", "g5_win", "g5_gone", "g5_move", "g5_app", "g6_uon", "g6_uoff", "g6_ron",
    "g6_roff", "g6_win", "g7_pipe1", "g7_pipe2", "g7_pipe3", "g7_pipe4", "g7_in", "g7_leak", "g7_waterstart",
    "map", "hint", "item_fly", "item_inventory", "piano1", "piano2", "piano3", "piano4", "piano5", "story_001",
    "story_002", "story_003", "story_004", "story_005", "story_006", "story_007", "story_008", "story_009",
    "story_010", "story_011", "story_012", "story_013", "story_014", "story_015", "story_016", "story_017",
    "story_018", "story_019", "story_020", "story_021", "story_022", "story_023", "story_024", "story_025",
    "story_026", "story_027", "minigames_001", "minigames_002", "minigames_003", "minigames_004",
    "minigames_005", "minigames_006", "minigames_007", "minigames_008", "minigames_009", "bgm_2", "bgm_3",
    "01", "02", "03"};

constexpr const char* kBonusNames[] = {
    "screen1", "amb_house", "arcade_bad", "arcade_coin", "arcade_good", "arcade_off", "bell", "candle",
    "candleplace", "candy", "cd", "coin_door", "c_door_open", "diamonddoor", "doll_mouth", "glass_break",
    "keydoor", "lighter", "scissors", "violin", "violindoor", "diary_close", "diary_open", "diary_page",
    "menu_accept", "menu_back", "menu_nav", "mouse_over", "item_found", "puzzlesolved", "cursorshatter",
    "missed", "foot_house1", "foot_house2", "foot_gravel", "foot_hard_in", "foot_hard_out", "foot_wood",
    "in_1", "in_2", "in_3", "in_4", "in_5", "in_6", "in_7", "in_8", "in_9", "in_10", "out_1", "out_2", "out_3",
    "out_4", "out_5", "out_6", "out_7", "out_8", "out_9", "out_10", "found", "inter_in", "inter_out", "map",
    "hint", "item_fly", "item_inventory", "story_028", "story_029", "story_030", "story_031", "story_032",
    "bgm_2", "bgm_3", "01", "02", "03"};

constexpr const char* kIntroNames[] = {"intro"};
constexpr const char* kOutroNames[] = {"outro"};
constexpr uint32_t kChapterMusicSlots = 5;
// The playlist of both chapters, played in turn by music phase 2.
constexpr const char* kPlaylist[] = {"01", "02", "03"};

template <size_t kCount>
constexpr uint32_t CountOf(const char* const (&)[kCount]) {
  return uint32_t(kCount);
}
static_assert(CountOf(kGameNames) == CSoundContainer::kSlotCount, "the game list fills the bank");

float Clamp01(float value) { return std::min(std::max(value, 0.0f), 1.0f); }

// The saved sound-effects volume; full volume before there is save data.
float SavedSoundVolume() {
  const SSaveData* data = GetSaveData();
  return data ? data->soundVolume : 1.0f;
}

SSoundRecord* ResolveSound(const Ombrel::CResourceManager* resources, const char* name) {
  Ombrel::CResourceBase* resource = resources ? resources->FindResource(Ombrel::CResourceSound::kTypeName, name) : nullptr;
  return resource ? static_cast<Ombrel::CResourceSound*>(resource)->GetSound() : nullptr;
}

void AddPlaylist() {
  Ombrel::CSoundModule* module = Ombrel::GetSoundModule();
  if (!module) return;
  for (const char* track : kPlaylist) module->AddMusicTrack(track);
}

}  // namespace

CSoundContainer::CSoundContainer() = default;

CSoundContainer::~CSoundContainer() = default;

int32_t CSoundContainer::FindSound(const char* name) const {
  if (!name || !*name) return -1;
  for (uint32_t i = 0; i < m_usedCount; ++i) {
    if (std::strcmp(m_slots[i].name, name) == 0) return int32_t(i);
  }
  return -1;
}

CSoundContainer::SSlot* CSoundContainer::EffectSlot(int32_t slot) {
  return const_cast<SSlot*>(static_cast<const CSoundContainer*>(this)->EffectSlot(slot));
}

const CSoundContainer::SSlot* CSoundContainer::EffectSlot(int32_t slot) const {
  if (slot < 0 || uint32_t(slot) >= m_usedCount || m_slots[slot].music) return nullptr;
  return &m_slots[slot];
}

bool CSoundContainer::CheckFilled(const char* sound) const {
  if (m_filled) return true;
  // A slip in the order of a state's start-up; the game carries on without the sound.
  HM_REPORT(kVeySoundContainerSource, "The sound \"%s\" is played before the state's sound bank is filled", sound);
  return false;
}

void CSoundContainer::PlaySound(int32_t slot, float factor) {
  if (!CheckFilled(std::to_string(slot).c_str())) return;
  SSlot* effect = EffectSlot(slot);
  CSoundManager* sounds = GetSoundManager();
  if (!effect || !effect->sound || !sounds) return;
  if (effect->voice) sounds->StopSound(effect->voice);
  effect->voice = 0;
  sounds->PlaySound(effect->sound, &effect->voice, factor * SavedSoundVolume(), -1.0f, 1.0f);
}

void CSoundContainer::PlaySoundByName(const char* name, float factor) {
  if (CheckFilled(name ? name : "(null)")) PlaySound(FindSound(name), factor);
}

void CSoundContainer::StopSound(int32_t slot) {
  SSlot* effect = EffectSlot(slot);
  CSoundManager* sounds = GetSoundManager();
  if (effect && effect->voice && sounds) sounds->StopSound(effect->voice);
}

void CSoundContainer::StopSoundByName(const char* name) { StopSound(FindSound(name)); }

void CSoundContainer::StopAllExcept(int32_t keep1, int32_t keep2) {
  for (uint32_t i = 0; i < m_usedCount; ++i) {
    if (int32_t(i) != keep1 && int32_t(i) != keep2) StopSound(int32_t(i));
  }
}

bool CSoundContainer::IsPlaying(int32_t slot) const {
  const SSlot* effect = EffectSlot(slot);
  const CSoundManager* sounds = GetSoundManager();
  return effect && effect->voice && sounds && !sounds->IsSoundFinished(effect->voice);
}

bool CSoundContainer::IsPlayingByName(const char* name) const { return IsPlaying(FindSound(name)); }

float CSoundContainer::GetSoundLength(int32_t slot) const {
  const SSlot* effect = EffectSlot(slot);
  const CSoundManager* sounds = GetSoundManager();
  return effect && effect->sound && sounds ? sounds->GetSoundLength(effect->sound) : 0.0f;
}

void CSoundContainer::SetSoundVolume(float volume) {
  if (CSoundManager* sounds = GetSoundManager()) sounds->SetSoundVolume(Clamp01(volume));
}

void CSoundContainer::SetMusicVolume(float volume) {
  if (CSoundManager* sounds = GetSoundManager()) sounds->SetMusicVolume(Clamp01(volume));
}

const char* CSoundContainer::GetName(int32_t slot) const {
  return slot >= 0 && uint32_t(slot) < m_usedCount ? m_slots[slot].name : "";
}

bool CSoundContainer::IsMusic(int32_t slot) const {
  return slot >= 0 && uint32_t(slot) < m_usedCount && m_slots[slot].music;
}

void CSoundContainer::Fill(const char* const* names, uint32_t count, uint32_t musicCount,
                           const Ombrel::CResourceManager* resources) {
  StopAllExcept(-1, -1);  // a refill must not leave voices that no slot knows
  std::fill(std::begin(m_slots), std::end(m_slots), SSlot());
  m_usedCount = count;
  m_filled = true;
  uint32_t missing = 0;
  const char* firstMissing = nullptr;
  for (uint32_t i = 0; i < count; ++i) {
    SSlot& slot = m_slots[i];
    slot.name = names[i];
    slot.music = i >= count - musicCount;
    if (slot.music) continue;
    slot.sound = ResolveSound(resources, slot.name);
    if (!slot.sound && !missing++) firstMissing = slot.name;
  }
  if (missing) {
    HM_REPORT(kVeySoundContainerSource,
              "%u of the bank's %u sounds are not among the \"Sound\" resources (the first: \"%s\"); they play nothing",
              missing, count - musicCount, firstMissing);
  }
  if (CSoundManager* sounds = GetSoundManager()) sounds->Flush();
}

void CSoundContainer::LoadMenuSounds(const Ombrel::CResourceManager* resources) {
  Fill(kMenuNames, CountOf(kMenuNames), 1, resources);
}

void CSoundContainer::LoadIntroSounds(const Ombrel::CResourceManager* resources) {
  Fill(kIntroNames, CountOf(kIntroNames), 1, resources);
}

void CSoundContainer::LoadOutroSounds(const Ombrel::CResourceManager* resources) {
  Fill(kOutroNames, CountOf(kOutroNames), 1, resources);
}

void CSoundContainer::LoadGameSounds(const Ombrel::CResourceManager* resources) {
  Fill(kGameNames, CountOf(kGameNames), kChapterMusicSlots, resources);
  AddPlaylist();
}

std::vector<std::string> CSoundContainer::ChapterSoundNames(bool bonus) {
  if (bonus) return std::vector<std::string>(std::begin(kBonusNames), std::end(kBonusNames));
  return std::vector<std::string>(std::begin(kGameNames), std::end(kGameNames));
}

void CSoundContainer::LoadBonusGameSounds(const Ombrel::CResourceManager* resources) {
  Fill(kBonusNames, CountOf(kBonusNames), kChapterMusicSlots, resources);
  AddPlaylist();
}

void SwitchMusic(int32_t phase) {
  Ombrel::CSoundModule* module = Ombrel::GetSoundModule();
  if (!module) return;
  switch (phase) {
    case 0:
      module->StopMusic();
      module->PlayMusic("menu", true);
      break;
    case 1:
      module->StopMusic();
      module->PlayMusic("bgm_2", true);
      break;
    case 2:
      module->StopMusic();
      module->StartPlaylist();
      break;
    case 3:
    case 4:
      module->StopPlaylist();
      module->PlayMusic("bgm_3", true);
      if (phase == 4) module->PlayMusic("bgm_2", true);
      break;
    default:
      break;
  }
}

}  // namespace Vey
