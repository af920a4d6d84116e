// The heads-up display's set-up, layout choice, inventory, hit tests and modes.

#include "Src/Investigation/Vey_Player.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/Scene/omTextureMask.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_MPAtlas.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_SceneTables.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Framework/Utils/omXmlDictionary.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace Vey {

namespace {

constexpr const char* kVeyPlayerSource = "Vey_Player";
constexpr const char* kItemPrefix = "root/Items/";
constexpr const char* kAspectPrefix = "root/HUD";

struct SAspectLayout {
  float ratio;
  int slots;
};
// Ordered by layout index, as the names of kAspectLayoutNames; "16:9" takes every ratio the
// others do not match.
constexpr SAspectLayout kAspectLayouts[] = {{1.25f, 8}, {4.0f / 3.0f, 9}, {1.6f, 12}, {16.0f / 9.0f, 14}};
static_assert(std::size(kAspectLayouts) == kAspectLayoutCount, "one layout per aspect name");

// The names of the objects the drawing treats specially, in ESpecialObject's order; "%s" is the
// aspect set, "#" the last slot.
constexpr const char* kSpecialNames[] = {
    "root/HUD%s/text_menu",         "root/Diary/DiaryAnim1",          "root/HUD%s/LeftArrowInactive",
    "root/HUD%s/LeftArrowActive",   "root/HUD%s/RightArrowInactive",  "root/HUD%s/RightArrowActive",
    "root/HUD%s/MapButton/CompassArrow", "root/HUD%s/MapButton/Compass", "root/Diary/hudCenter(table)0",
    "root/Diary/Diary(Glow)",       "root/HUD%s/Slot1",               "root/HUD%s/Slot#",
    "root/HUD%s/hudLeft(Moon)",     "root/HUD%s/MaskhudLeft(Blood)",  "root/HUD%s/hudleft(Blood)"};

bool IsPlaced(const Ombrel::SLayoutItem* item) {
  return item && (item->kind == Ombrel::kLayoutSprite || item->kind == Ombrel::kLayoutAnimatedSprite ||
                  item->kind == Ombrel::kLayoutDummy);
}

}  // namespace

// ---- aspect layouts ----

int32_t CPlayer::SelectAspectLayout(float ratio) {
  for (int32_t layout : {kAspect4x3, kAspect16x10, kAspect5x4})
    if (std::fabs(ratio - kAspectLayouts[layout].ratio) < 0.01f) return layout;
  return kAspect16x9;
}

const char* CPlayer::AspectName(int32_t layout) {
  return kAspectLayoutNames[layout >= 0 && layout <= kAspect16x9 ? layout : kAspect16x9];
}

int CPlayer::VisibleSlotCount(int32_t layout) {
  return layout >= 0 && layout <= kAspect16x9 ? kAspectLayouts[layout].slots : kAspectLayouts[kAspect16x9].slots;
}

// ---- construction ----

CPlayer::CPlayer(const SHudCollaborators& collaborators)
    : Ombrel::ISceneNode("HUD"),
      m_c(collaborators),
      m_spriteNode(std::make_unique<Ombrel::CSprite2DNode>("HUDSprite", nullptr)) {
  m_spriteNode->Show();
  m_spriteNode->SetAspectCorrection(true);
  if (!m_c.layout) {
    HM_REPORT(kVeyPlayerSource, "The heads-up display has no layout \"HUD\"; it shows nothing");
    return;
  }
  if (m_c.newEntry) m_c.newEntry->SetLoopMode(1);
  BuildHud();
  if (Ombrel::CTextureAnimation* gauge = Animation(kGaugeFill); gauge && !gauge->IsPlaying()) {
    gauge->SetProgress(0.0f);
    gauge->Play();
  }
  SetLeftArrowActive(false);
  SetRightArrowActive(false);
  m_skipButton = std::make_unique<CButton2>(true, FindLayoutText(*m_c.layout, "root/text_skip"),
                                            FindLayoutBox(*m_c.layout, "root/Outline"),
                                            FindLayoutBox(*m_c.layout, "root/Outline active"));
  m_helpButton = std::make_unique<CButton2>(true, FindLayoutText(*m_c.layout, "root/text_help"),
                                            FindLayoutBox(*m_c.layout, "root/Outline0"),
                                            FindLayoutBox(*m_c.layout, "root/Outline active0"));
  ShowSkipButton(false);
  ShowHelpButton(false);
}

CPlayer::~CPlayer() = default;

// ---- layout ----

std::string CPlayer::AspectObjectName(const std::string& name) const {
  return std::string(kAspectPrefix) + AspectName(m_aspectLayout) + "/" + name;
}

Ombrel::SLayoutItem* CPlayer::FindObject(const std::string& name) const {
  if (!m_c.layout) return nullptr;
  if (name.compare(0, 5, "root/") == 0) return m_c.layout->FindItem(name.c_str());
  return m_c.layout->FindItem(AspectObjectName(name).c_str());
}

Ombrel::SLayoutBox* CPlayer::FindBox(const std::string& name) const {
  Ombrel::SLayoutItem* item = FindObject(name);
  return IsPlaced(item) ? static_cast<Ombrel::SLayoutBox*>(item) : nullptr;
}

void CPlayer::SetVisible(const std::string& name, bool visible) {
  if (Ombrel::SLayoutItem* item = FindObject(name)) item->visible = visible;
}

void CPlayer::BuildHud() {
  if (!m_c.layout) return;
  const int32_t layout = SelectAspectLayout(GetAspect());
  m_layoutChanged = layout != m_aspectLayout;
  m_aspectLayout = layout;

  // Only the objects of the matching aspect set are shown ("root/HUD4:3/..." is not "16:9").
  const std::string own = std::string(kAspectPrefix) + AspectName(layout) + "/";
  const size_t prefixLength = std::strlen(kAspectPrefix);
  for (uint32_t i = 0; i < m_c.layout->GetCount(); ++i) {
    Ombrel::SLayoutItem* item = m_c.layout->GetItem(i);
    if (item->name.compare(0, prefixLength, kAspectPrefix) != 0) continue;
    item->visible = item->name.compare(0, own.size(), own) == 0;
  }
  for (size_t line = 0; line < kListLines; ++line) SetVisible(ListMarkerName(line), false);
  SetVisible("hudleft(Blood)", false);
  SetVisible("HintInactive", false);
  LookUpSpecialObjects();
  MoveHintGlowToGauge();
  m_firstVisible = 0;
  ScrollToEnd();
  SetLeftArrowActive(false);
  SetRightArrowActive(false);
}

void CPlayer::LookUpSpecialObjects() {
  const std::string aspect = AspectName(m_aspectLayout);
  for (int i = 0; i < kSpecialCount; ++i) {
    std::string name = kSpecialNames[i];
    if (size_t at = name.find("%s"); at != std::string::npos) name.replace(at, 2, aspect);
    if (size_t at = name.find('#'); at != std::string::npos) name.replace(at, 1, std::to_string(VisibleSlots()));
    m_special[size_t(i)] = m_c.layout->FindItem(name.c_str());
    if (!m_special[size_t(i)]) HM_REPORT(kVeyPlayerSource, "The layout \"HUD\" has no object \"%s\"", name.c_str());
  }
}

Ombrel::CTextureAnimation* CPlayer::Animation(int special) const {
  const Ombrel::SLayoutItem* item = m_special[size_t(special)];
  if (!item || item->kind != Ombrel::kLayoutAnimatedSprite) return nullptr;
  return static_cast<const Ombrel::SLayoutAnimatedSprite*>(item)->animation;
}

Vector2 CPlayer::ToParticleSpace(const Vector2& virtualPoint) {
  return {(virtualPoint.x - kVirtualCentre) * GetAspect() / kLayoutUnit * MP::kParticleUnits,
          (virtualPoint.y - kVirtualCentre) / kLayoutUnit * MP::kParticleUnits};
}

void CPlayer::MoveHintGlowToGauge() {
  const auto* gauge = static_cast<const Ombrel::SLayoutBox*>(IsPlaced(m_special[kGaugeFill]) ? m_special[kGaugeFill]
                                                                                               : nullptr);
  if (m_c.hintGlow && gauge) m_c.hintGlow->MoveWithParticles(ToParticleSpace(ToVirtualScreen(gauge->position)));
}

// ---- profile ----

SProfileData* CPlayer::Profile() const { return m_c.saveData ? m_c.saveData->CurrentProfile() : nullptr; }

// ---- inventory ----

// A scrolled bar never shows an empty slot at its right end.
void CPlayer::ScrollToEnd() {
  const uint32_t slots = uint32_t(VisibleSlots());
  if (m_firstVisible + slots < m_inventory.size()) m_firstVisible = uint32_t(m_inventory.size()) - slots;
}

// The sprite an item shows: its picture, or its animation's current frame.
static Ombrel::CSpriteData SpriteOf(const Ombrel::SLayoutItem& item) {
  Ombrel::CSpriteData sprite;
  if (item.kind == Ombrel::kLayoutSprite) {
    sprite.SetTexture(static_cast<const Ombrel::SLayoutSprite&>(item).texture);
  } else if (item.kind == Ombrel::kLayoutAnimatedSprite) {
    if (auto* animation = static_cast<const Ombrel::SLayoutAnimatedSprite&>(item).animation)
      animation->ApplyFrame(sprite);
  }
  if (IsPlaced(&item)) {
    const auto& box = static_cast<const Ombrel::SLayoutBox&>(item);
    sprite.SetSize(box.size.x * kLayoutUnit, box.size.y * kLayoutUnit);
  }
  return sprite;
}

void CPlayer::LoadInventory() {
  m_inventory.clear();
  m_firstVisible = 0;
  const SProfileData* profile = Profile();
  if (!profile || !m_c.items) return;
  const uint32_t count = std::min(profile->inventoryCount, kInventoryCapacity);
  for (uint32_t i = 0; i < count; ++i) {
    const int32_t id = profile->inventory[i];
    const Ombrel::SLayoutItem* object = id >= 0 ? m_c.items->GetItem(uint32_t(id)) : nullptr;
    if (!object) {
      HM_REPORT(kVeyPlayerSource, "Inventory item %d is not in the layout \"Items\"; it is left out", id);
      continue;
    }
    SInventoryEntry entry;
    entry.key = object->name.compare(0, std::strlen(kItemPrefix), kItemPrefix) == 0
                    ? object->name.substr(std::strlen(kItemPrefix))
                    : object->name;
    entry.startPosition = kScreenCentre;
    entry.startSize = {kLayoutUnit, kLayoutUnit};
    entry.sprite = SpriteOf(*object);
    entry.id = id;
    m_inventory.push_back(std::move(entry));
    ScrollToEnd();
  }
}

void CPlayer::AddItem(const std::string& item, const Vector2& screenPosition) { AddItem(item, false, screenPosition); }

void CPlayer::AddItem(const std::string& item, bool quiet, const Vector2& screenPosition) {
  const std::string name = kItemPrefix + item;
  const Ombrel::SLayoutItem* object = m_c.items ? m_c.items->FindItem(name.c_str()) : nullptr;
  if (!object) {
    HM_REPORT(kVeyPlayerSource, "Item \"%s\" is not in the layout \"Items\"; it is not taken", item.c_str());
    return;
  }
  // The saved list decides: a full inventory refuses the item (reported there).
  SProfileData* profile = Profile();
  if (profile && !SSaveData::AddItem(*profile, object->index)) return;
  if (!quiet) StartBurst(screenPosition);

  SInventoryEntry entry;
  entry.key = item;
  entry.startPosition = ItemDummyPosition(&entry.startSize);
  entry.sprite = SpriteOf(*object);
  entry.progress = 0.0f;
  entry.id = object->index;
  entry.trail = TakeTrailEmitter();
  m_inventory.push_back(std::move(entry));
  ScrollToEnd();
}

void CPlayer::RemoveItem(const std::string& item) {
  auto entry = std::find_if(m_inventory.begin(), m_inventory.end(),
                            [&](const SInventoryEntry& e) { return e.key == item; });
  if (entry == m_inventory.end()) return;
  if (SProfileData* profile = Profile()) SSaveData::RemoveItem(*profile, entry->id);
  if (entry->trail) entry->trail->InterruptEmitter();
  m_inventory.erase(entry);
  if (m_firstVisible > 0 && m_inventory.size() < m_firstVisible + uint32_t(VisibleSlots())) --m_firstVisible;
}

std::string CPlayer::GetUsedItem() {
  std::string used;
  used.swap(m_usedItem);
  return used;
}

Vector2 CPlayer::ItemDummyPosition(Vector2* size) const {
  const Ombrel::SLayoutBox* dummy = FindBox("root/ItemDummy");
  if (!dummy) {
    *size = {kLayoutUnit, kLayoutUnit};
    return kScreenCentre;
  }
  *size = {dummy->size.x * kLayoutUnit, dummy->size.y * kLayoutUnit};
  return ToVirtualScreen(dummy->position);
}

MP::CEmitter* CPlayer::StartBurst(const Vector2& screenPosition) {
  MP::CEmitter* burst = m_c.foundPool ? m_c.foundPool->GetFreeEmitter() : nullptr;
  if (!burst) return nullptr;
  burst->SetPosition(ToParticleSpace(screenPosition));
  burst->Start();
  return burst;
}

MP::CEmitter* CPlayer::TakeTrailEmitter() {
  MP::CEmitter* trail = m_c.trailPool ? m_c.trailPool->GetFreeEmitter() : nullptr;
  if (trail) trail->Start();
  return trail;
}

void CPlayer::PlayPickupEffects(const Vector2& screenPosition, const Ombrel::SLayoutItem& picture) {
  PlayPickupEffects(screenPosition, SpriteOf(picture));
}

void CPlayer::PlayPickupEffects(const Vector2& screenPosition, const Ombrel::CSpriteData& sprite) {
  StartBurst(screenPosition);
  STrail trail;
  trail.startPosition = ItemDummyPosition(&trail.startSize);
  trail.sprite = sprite;
  trail.texture = CTextureHold(sprite.GetTexture());
  trail.emitter = TakeTrailEmitter();
  m_trails.push_back(trail);
}

std::string CPlayer::GetClickedSlotItem() const {
  for (int n = 1; n <= VisibleSlots(); ++n) {
    if (!IsMouseOverBox(SlotBox(n))) continue;
    const size_t index = m_firstVisible + size_t(n) - 1;
    if (index < m_inventory.size() && m_inventory[index].progress == 1.0f) return m_inventory[index].key;
  }
  return "";
}

// ---- hit tests ----

Ombrel::SLayoutBox* CPlayer::SlotBox(int slot) const { return FindBox("Slot" + std::to_string(slot)); }

bool CPlayer::IsMouseOverBox(const Ombrel::SLayoutBox* box, const Vector2& offset) const {
  if (!box) return false;
  const Vector2 centre = ToVirtualScreen({box->position.x + offset.x, box->position.y + offset.y});
  return IsPointInRect(m_mouse.x, m_mouse.y, centre.x, centre.y, box->size.x * kLayoutUnit, box->size.y * kLayoutUnit);
}

bool CPlayer::IsMouseOver(const std::string& name) const { return IsMouseOverBox(FindBox(name)); }

bool CPlayer::IsMouseOverMenuButton() const { return IsMouseOver("hudLeft(Moon)"); }

bool CPlayer::IsMouseOverHintButton() const { return IsMouseOver("hudLeft(Blood)"); }

bool CPlayer::IsMouseOverHintOrMenu() const { return IsMouseOver("MaskhudLeft(Blood)") || IsMouseOverMenuButton(); }

bool CPlayer::IsMouseOverMapButton() const { return m_mode == kModeLocation && IsMouseOver("MapButton/Compass"); }

bool CPlayer::IsMouseOverLeftArrow() const { return IsMouseOver("LeftArrowInactive"); }

bool CPlayer::IsMouseOverRightArrow() const { return IsMouseOver("RightArrowInactive"); }

bool CPlayer::IsMouseOverSkipButton() const {
  return m_skipShown && m_mode != kModeDiary && m_mode != kModeMap &&
         IsMouseOver("root/Outline");
}

bool CPlayer::IsMouseOverHelpButton() const {
  return m_helpShown && m_mode != kModeDiary && m_mode != kModeMap &&
         IsMouseOver("root/Outline0");
}

// The book rises by up to 7.5 layout units while hovered; only its painted pixels count.
// The book a player sees answers over its whole picture, its lectern where the lectern's
// picture is opaque; both rise with the diary hover.
bool CPlayer::IsMouseOverRaisedBook() const {
  const Vector2 raise{0.0f, m_diaryHover * 7.5f / kLayoutUnit};
  const Ombrel::SLayoutItem* picture = m_special[kDiaryAnim];
  if (IsPlaced(picture) && picture->visible && IsMouseOverBox(static_cast<const Ombrel::SLayoutBox*>(picture), raise))
    return true;
  const Ombrel::SLayoutItem* book = m_special[kDiaryBook];
  if (!IsPlaced(book)) return false;
  const auto* box = static_cast<const Ombrel::SLayoutBox*>(book);
  if (!IsMouseOverBox(box, raise)) return false;
  Ombrel::CTextureMask* mask = GetNodeSpriteData(*book);
  if (!mask) return true;
  Ombrel::SLayoutBox raised = *box;
  raised.position.y += raise.y;
  return IsEntryHit(raised, m_mouse);
}

bool CPlayer::IsMouseOverDiary() const {
  if (IsMouseOverRaisedBook()) return true;
  for (const char* spacer : {"hudSpacer", "hudSpacer1", "hudSpacer2", "hudSpacer3", "hudSpacer4"})
    if (IsMouseOver(spacer)) return true;
  return false;
}

bool CPlayer::IsMouseOverHud() const {
  if (!m_c.layout) return false;
  if (PickLayoutObjectAt(m_mouse, *m_c.layout) != kPickedNothing) return true;
  if (IsMouseOverMenuButton()) return true;
  return m_diaryHover > 0.0f && IsMouseOverRaisedBook();
}

// ---- buttons and arrows ----

void CPlayer::ShowSkipButton(bool show) {
  if (m_skipButton) m_skipButton->SetVisible(show);
  m_skipShown = show;
}

void CPlayer::ShowHelpButton(bool show) {
  if (m_helpButton) m_helpButton->SetVisible(show);
  m_helpShown = show;
}

void CPlayer::SetLeftArrowActive(bool on) {
  SetVisible("LeftArrowActive", on);
  SetVisible("LeftArrowInactive", !on);
}

void CPlayer::SetRightArrowActive(bool on) {
  SetVisible("RightArrowActive", on);
  SetVisible("RightArrowInactive", !on);
}

// ---- modes, diary and map ----

void CPlayer::StartEmitter(MP::CEmitter* emitter) {
  if (emitter && emitter->GetState() != MP::CEmitter::kRunning) emitter->Start();
}

void CPlayer::StopEmitter(MP::CEmitter* emitter) {
  if (emitter) emitter->StopEmitter();
}

void CPlayer::SetMode(int32_t mode) {
  m_previousMode = m_mode;
  m_mode = mode;
  if (mode == kModeHiddenObjects)
    StartEmitter(m_c.hintGlow);
  else
    StopEmitter(m_c.hintGlow);
}

void CPlayer::StopSounds() {
  if (m_c.sounds) m_c.sounds->StopAllExcept(m_sparedSound, -1);
}

void CPlayer::OpenDiary() {
  // Without a diary screen there is nothing to open, and no mode to come back from.
  if (!m_c.diary) return;
  StopSounds();
  if (m_c.sounds) m_c.sounds->PlaySoundByName("diary_open", 1.0f);
  SetNewEntrySignal(false);
  m_c.diary->Open();
  m_previousMode = m_mode;
  m_mode = kModeDiary;
  StopEmitter(m_c.hintGlow);
  if (m_c.upperCapture) m_c.upperCapture->SetDrawn(true);
}

void CPlayer::OpenMap() {
  if (!m_c.mapFrame) return;
  StopSounds();
  m_c.mapFrame->Open();
  m_previousMode = m_mode;
  m_mode = kModeMap;
  StopEmitter(m_c.hintGlow);
  if (m_c.upperCapture) m_c.upperCapture->SetDrawn(true);
}

void CPlayer::UpdateDiary(float dt) {
  if (!m_c.diary || m_mode != kModeDiary) return;
  m_diaryHover = std::clamp(m_diaryHover + 4.0f * dt, 0.0f, 1.0f);
  m_c.diary->Update(dt);
  if (m_c.diary->GetState() == 0) SetMode(m_previousMode);
}

void CPlayer::AddDiaryEntry(const std::string& name) {
  if (m_c.diary) m_c.diary->AddEntry(name);
}

void CPlayer::SetNewEntrySignal(bool on) {
  SetVisible("root/Diary/Diary(Glow)", on);
  if (!m_c.newEntry) return;
  if (on)
    StartEmitter(m_c.newEntry);
  else if (m_c.newEntry->GetState() == MP::CEmitter::kRunning)
    m_c.newEntry->InterruptEmitter();
}

// ---- note line ----

void CPlayer::ShowNote(const std::string& key) {
  if (key.size() > kNoteKeyCapacity)
    HM_REPORT(kVeyPlayerSource, "Note key \"%s\" is longer than %zu characters; it is cut", key.c_str(),
              kNoteKeyCapacity);
  std::memset(m_noteKey, 0, sizeof m_noteKey);
  key.copy(m_noteKey, kNoteKeyCapacity);
  m_noteTimer = 0.0f;
}

void CPlayer::UpdateNoteTimer(float dt) { m_noteTimer = std::clamp(m_noteTimer + 0.2f * dt, 0.0f, 1.0f); }

float CPlayer::NoteAlpha(float timer) {
  if (timer < 0.1f) return 10.0f * timer;
  if (timer <= 0.9f) return 1.0f;
  return std::max(0.0f, 1.0f - 10.0f * (timer - 0.9f));
}

// ---- hidden-object list ----

void CPlayer::SetHiddenObjectList(std::unique_ptr<std::vector<std::string>> list) {
  m_hiddenObjectList = std::move(list);
}

static bool EndsInDigit(const std::string& line) { return !line.empty() && line.back() >= '0' && line.back() <= '9'; }

std::string CPlayer::ListMarkerName(size_t line) {
  char name[16];
  std::snprintf(name, sizeof name, "Dummy%02zu", line + 1);
  return name;
}

Vector2 CPlayer::ListLineStart(const Ombrel::SLayoutBox& marker) {
  return ToVirtualScreen({marker.position.x - marker.size.x * marker.scale.x * 0.5f, marker.position.y});
}

int CPlayer::ListLineCount(const std::string& line) { return EndsInDigit(line) ? line.back() - '0' : 0; }

std::string CPlayer::ListLineText(const std::string& line) {
  return EndsInDigit(line) ? line.substr(0, line.size() - 1) : line;
}

void CPlayer::ResetHiddenObjectList() {
  for (int i = 0; i < kListLines; ++i) {
    SListRecord& record = m_listRecords[size_t(i)];
    const bool found = m_hiddenObjectList && size_t(i) < m_hiddenObjectList->size() &&
                       ListLineCount((*m_hiddenObjectList)[size_t(i)]) == 0;
    record.active = record.progress = found ? 1.0f : 0.0f;
    record.emitter = nullptr;
  }
}

Vector2 CPlayer::GetHiddenObjectListPosition(const std::string& key) {
  if (!m_hiddenObjectList) return {0.0f, 0.0f};
  const std::string phrase = Phrase(ListLineText(key).c_str());
  const size_t lines = std::min(m_hiddenObjectList->size(), size_t(kListLines));
  for (size_t i = 0; i < lines; ++i) {
    if (ListLineText((*m_hiddenObjectList)[i]) != phrase) continue;
    const Ombrel::SLayoutBox* marker = FindBox(ListMarkerName(i));
    return marker ? ListLineStart(*marker) : Vector2{0.0f, 0.0f};
  }
  return {0.0f, 0.0f};
}

void CPlayer::UpdateHiddenObjectList(float dt) {
  for (SListRecord& record : m_listRecords) {
    if (record.active == 0.0f) continue;
    record.progress = std::clamp(record.progress + 0.5f * dt, 0.0f, 1.0f);
    if (record.progress < 1.0f) {
      if (record.progress >= 0.5f && !record.emitter && m_c.strokePool) {
        record.emitter = m_c.strokePool->GetFreeEmitter();
        if (record.emitter) record.emitter->Start();
      }
    } else if (record.emitter) {
      if (record.emitter->GetState() == MP::CEmitter::kRunning) record.emitter->InterruptEmitter();
      record.emitter = nullptr;
    }
  }
}

const char* CPlayer::Phrase(const char* key) const { return m_c.dictionary ? m_c.dictionary->GetPhrase(key) : key; }

}  // namespace Vey
