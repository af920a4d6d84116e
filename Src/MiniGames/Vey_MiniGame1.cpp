#include "Src/MiniGames/Vey_MiniGame1.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omLayout2D.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/Location/Vey_MiniGameWorld.h"

#include <cmath>

namespace Vey {

namespace {

constexpr const char* kVeyMiniGame1Source = "Vey_MiniGame1";

// The saved block: its first four bytes and the eight positions after them.
enum ERecordByte { kPositionsSaved = 0, kIntroShown = 1, kRedInserted = 2, kGreenInserted = 3 };
// A saved position further off than this (layout units) is damage, not a player's move.
constexpr float kPositionLimit = 8.0f;

constexpr int32_t kRed = 0, kRed0 = 1, kRed1 = 2, kRed2 = 3;
constexpr int32_t kGreen = 4, kGreen0 = 5, kGreen1 = 6, kGreen2 = 7;
// The threads joining a red and a green jewel, along which the sparks run.
constexpr int32_t kMixedThreads[6] = {0, 3, 4, 10, 12, 13};

constexpr const char* kIntroDialog = "G01_1_Dialog";
constexpr const char* kGreenBurst = "G01_GreenDiamondAdded";
constexpr const char* kRedBurst = "G01_RedDiamondAdded";
constexpr float kThreadWidth = 10.0f;
constexpr uint8_t kThreadGrey = 0x80;
constexpr int kSparkleWarmUpSteps = 10;
constexpr float kSparkleWarmUpStep = 0.2f;
// The close-up that shows the box, and what opens in it.
constexpr uint32_t kBoxCloseUp = 1;
constexpr const char* kBoxClosed = "root/Box_closed";
constexpr const char* kBoxOpen = "root/Box_open";
constexpr const char* kBoxKey = "I02_Box Key";
constexpr const char* kKeyCondition = "S01_Entrance Key";
constexpr const char* kImpossible = "Impossible";
// The lock's state the path keeps, which the link's conditions read after a reload.
constexpr const char* kLockOpened = "Open";

bool IsStopped(const CEmitterGroup* group, const char* name) {
  const MP::CEmitter* emitter = FindGroupEmitter(group, name);
  return !emitter || emitter->GetState() == MP::CEmitter::kStopped;
}

void StartAt(MP::CEmitter* emitter, const Vector2& particlePoint) {
  if (!emitter) return;
  emitter->SetPosition(particlePoint);
  emitter->Start();
}

// A link to the jewel box closes for good: the box is open.
void CloseLinksToBox(std::vector<SMiniGameLink>& links) {
  for (SMiniGameLink& link : links) {
    if (link.miniGame != 0) continue;
    link.open = false;
    link.second = true;
    bool keyed = false;
    for (SStateCondition& condition : link.conditions) {
      if (condition.object != kKeyCondition) continue;
      condition.state = kImpossible;
      keyed = true;
    }
    if (!keyed) link.conditions.push_back({kKeyCondition, kImpossible});
  }
}

}  // namespace

// Each thread as (first end, second end), by jewel slot.
const int32_t CMiniGame1::kThreads[kConnectorCount][2] = {
    {kGreen, kRed},   {kGreen, kGreen0},  {kGreen, kGreen1},  {kRed, kGreen0},  {kGreen0, kRed0},
    {kRed, kRed1},    {kRed, kRed2},      {kGreen0, kGreen2}, {kRed0, kRed1},   {kRed1, kRed2},
    {kGreen2, kRed1}, {kGreen2, kGreen1}, {kGreen1, kRed1},   {kGreen1, kRed2}, {kRed, kRed0}};

const char* const CMiniGame1::kJewels[kJewelCount] = {"root/redJewel",    "root/redJewel0",  "root/redJewel1",
                                                      "root/redJewel2",   "root/greenJewel", "root/greenJewel0",
                                                      "root/greenJewel1", "root/greenJewel2"};

CMiniGame1::CMiniGame1(Ombrel::CLayout2D* layout, const SMiniGameShared& shared, const SJewelBoxParts& parts)
    : CMiniGameBase("MiniGame1", 0, layout, shared), m_parts(parts) {
  BindJewels();
  if (m_parts.socketSparkle) {
    m_greenSparkle.reset(m_parts.socketSparkle->Clone());
    m_redSparkle.reset(m_parts.socketSparkle->Clone());
  }
  m_playable = false;
  LoadFromRecord();
  SaveInitialPositions();
}

CMiniGame1::~CMiniGame1() = default;

void CMiniGame1::BindJewels() {
  for (int32_t slot = 0; slot < kJewelCount; ++slot) {
    Ombrel::SLayoutBox* node = FindNode(kJewels[slot]);
    m_jewels[size_t(slot)] = node ? &node->position : &m_missing[size_t(slot)];
    m_startPositions[size_t(slot)] = *m_jewels[size_t(slot)];
  }
  for (int32_t i = 0; i < kConnectorCount; ++i)
    m_connectors[size_t(i)] = {m_jewels[size_t(kThreads[i][0])], m_jewels[size_t(kThreads[i][1])]};
}

// ---- the saved block ----

void CMiniGame1::LoadFromRecord() {
  ValidateRecord();
  const SMiniGameBlock& block = SavedBlock();
  m_redPresent = block.bytes0[kRedInserted] != 0;
  m_greenPresent = block.bytes0[kGreenInserted] != 0;
  SetShown(kJewels[kRed], m_redPresent);
  SetShown(kJewels[kGreen], m_greenPresent);
  SetShown(kRedSocket, !m_redPresent);
  SetShown(kGreenSocket, !m_greenPresent);
  m_introShown = block.bytes0[kIntroShown] != 0;
  m_playable = m_redPresent && m_greenPresent;
  RestorePositions();
}

void CMiniGame1::ValidateRecord() {
  SMiniGameBlock& block = SavedBlock();
  if (block.bytes0[kPositionsSaved] == 0) return;
  bool sound = block.bytes0[kPositionsSaved] == 1;
  for (float value : block.floats0) sound = sound && std::isfinite(value) && std::fabs(value) <= kPositionLimit;
  if (sound) return;
  HM_REPORT(kVeyMiniGame1Source, "The saved jewel positions are damaged; the jewels go back to where the box starts");
  for (int32_t slot = 0; slot < kJewelCount; ++slot) *m_jewels[size_t(slot)] = m_startPositions[size_t(slot)];
  block.bytes0[kPositionsSaved] = 0;
  SaveInitialPositions();
}

void CMiniGame1::RestorePositions() {
  const SMiniGameBlock& block = SavedBlock();
  if (block.bytes0[kPositionsSaved] == 0) return;
  for (int32_t slot = 0; slot < kJewelCount; ++slot)
    *m_jewels[size_t(slot)] = {block.floats0[2 * slot], block.floats0[2 * slot + 1]};
}

void CMiniGame1::SaveInitialPositions() {
  SMiniGameBlock& block = SavedBlock();
  if (block.bytes0[kPositionsSaved] != 0) return;
  for (int32_t slot = 0; slot < kJewelCount; ++slot) {
    block.floats0[2 * slot] = m_jewels[size_t(slot)]->x;
    block.floats0[2 * slot + 1] = m_jewels[size_t(slot)]->y;
  }
  block.bytes0[kPositionsSaved] = 1;
}

void CMiniGame1::ClampJewels() {
  const float aspect = GetAspect();
  for (Vector2* jewel : m_jewels) jewel->x = std::fmin(std::fmax(jewel->x, -aspect), aspect);
}

void CMiniGame1::ShowMissingNote() {
  if (!m_player || (m_redPresent && m_greenPresent)) return;
  if (!m_redPresent && !m_greenPresent)
    m_player->ShowNote("G01_BothMissing_Note");
  else
    m_player->ShowNote(m_redPresent ? "G01_GreenMissing_Note" : "G01_RedMissing_Note");
}

void CMiniGame1::SetShown(const char* path, bool shown) {
  if (Ombrel::SLayoutBox* node = FindNode(path)) node->visible = shown;
}

// ---- per frame ----

void CMiniGame1::Enter() {
  LoadFromRecord();
  CMiniGameBase::Enter();
}

void CMiniGame1::Update(float dt) {
  if (!BeginUpdate(dt)) return;
  m_frameTime = dt;
  if (m_player && m_player->HasLayoutChanged()) {
    m_player->ClearLayoutChanged();
    ClampJewels();
  }
  for (CEmitterPool* pool : {m_parts.completion, m_parts.redBursts, m_parts.greenBursts})
    if (pool) pool->Update(dt);
  for (MP::CEmitter* sparkle : {m_greenSparkle.get(), m_redSparkle.get()})
    if (sparkle) sparkle->Update(dt);
  const std::string picked = UpdatePointer();
  switch (AdvanceFade(dt)) {
    case kOpened:
      OnOpened();
      break;
    case kClosedNow:
      for (CEmitterPool* pool : {m_parts.completion, m_parts.redBursts, m_parts.greenBursts})
        if (pool) pool->StopAll();
      return;
    default:
      break;
  }
  if (m_state != kPlaying) return;
  if (!m_introShown && m_playable && IsStopped(m_emitters, kGreenBurst) && IsStopped(m_emitters, kRedBurst))
    ShowIntroOnce(kIntroDialog, SavedBlock().bytes0[kIntroShown]);
  RattleCarried();
  if (m_pressed) {
    if (!m_heldJewel && IsMouseOverSkipButton()) m_skipRequested = true;
    if (IsPuzzleClick()) {
      if (m_heldJewel) {
        DropJewel();
        return;
      }
      if (PlayClick(picked)) return;
    }
  }
  if (m_heldJewel) {
    CarryJewel();
    return;
  }
  if (m_playable && IsUntangled()) RunWin(dt);
  if (m_winTimer > kWinDelay || m_skipRequested) Complete();
}

void CMiniGame1::FadeOwnEffects(float alpha) {
  for (CEmitterPool* pool : {m_parts.completion, m_parts.redBursts, m_parts.greenBursts})
    if (pool) pool->SetAlpha(alpha);
  for (MP::CEmitter* sparkle : {m_greenSparkle.get(), m_redSparkle.get()})
    if (sparkle) sparkle->SetAlpha(alpha);
}

// Playable, the jewels are fitted to the screen; else a note and a sparkle over each empty socket.
void CMiniGame1::OnOpened() {
  if (m_playable) {
    ClampJewels();
    return;
  }
  ShowMissingNote();
  const auto place = [this](MP::CEmitter* sparkle, const char* socket, int warmUpSteps) {
    const Ombrel::SLayoutBox* node = FindNode(socket);
    if (!sparkle || !node) return;
    sparkle->SetPosition(LayoutToParticle(node->position));
    sparkle->SetLoopMode(1);
    sparkle->Start();
    for (int i = 0; i < warmUpSteps; ++i) sparkle->Update(kSparkleWarmUpStep);
  };
  if (!m_greenPresent) place(m_greenSparkle.get(), kGreenSocket, kSparkleWarmUpSteps);
  if (!m_redPresent) place(m_redSparkle.get(), kRedSocket, 0);
}

// A click the display does not take while no jewel is carried: an item applied, a jewel picked
// up (both end the frame), or the exit.
bool CMiniGame1::PlayClick(const std::string& picked) {
  const std::string item = m_player ? m_player->GetUsedItem() : std::string();
  if (!item.empty()) {
    if (picked != "None") UseItem(picked, item);
    return true;
  }
  if (m_winTimer != 0.0f) return false;
  if (picked != "None" && m_playable && Objects()) {
    for (const SSceneObject& object : *Objects()) {
      if (object.name != picked) continue;
      const Ombrel::SLayoutBox* node = FindNode(object.sprite.c_str());
      for (int32_t slot = 0; node && slot < kJewelCount; ++slot) {
        if (m_jewels[size_t(slot)] != &node->position) continue;
        m_heldJewel = m_jewels[size_t(slot)];
        m_heldSlot = slot;
        m_lastHeld = *m_heldJewel;
        return true;
      }
    }
  }
  if (IsMouseOverExit())
    StartClosing();
  else if (!m_playable)
    ShowMissingNote();
  return false;
}

void CMiniGame1::CarryJewel() {
  m_lastHeld = *m_heldJewel;
  *m_heldJewel = MouseInLayout();
}

void CMiniGame1::RattleCarried() {
  if (!m_heldJewel || !m_sounds) return;
  if (!SamePoint(*m_heldJewel, m_lastHeld)) {
    if (!m_sounds->IsPlayingByName("rattle")) m_sounds->PlaySoundByName("rattle", 1.0f);
  } else {
    m_sounds->StopSoundByName("rattle");
  }
}

// The carried jewel stays where it is, and the profile keeps its place.
void CMiniGame1::DropJewel() {
  SMiniGameBlock& block = SavedBlock();
  block.floats0[2 * m_heldSlot] = m_heldJewel->x;
  block.floats0[2 * m_heldSlot + 1] = m_heldJewel->y;
  m_heldJewel = nullptr;
  m_heldSlot = -1;
  StopSound(m_sounds, "rattle");
}

void CMiniGame1::UseItem(const std::string& objectName, const std::string& item) {
  UseOnObject(objectName, item, [this, &objectName, &item](const SSceneObject&, const SObjectAction&) {
    if (objectName == kGreenSocketObject && item == kGreenItem) InsertJewel(false, objectName);
    if (objectName == kRedSocketObject && item == kRedItem) InsertJewel(true, objectName);
    if (m_redPresent && m_greenPresent && !m_playable) {
      m_playable = true;
      if (m_player) m_player->ShowHelpButton(true);
    }
  });
}

void CMiniGame1::InsertJewel(bool red, const std::string& objectName) {
  (red ? m_redPresent : m_greenPresent) = true;
  SavedBlock().bytes0[red ? kRedInserted : kGreenInserted] = 1;
  SetShown(kJewels[red ? kRed : kGreen], true);
  SetShown(red ? kRedSocket : kGreenSocket, false);
  PlaySound(m_sounds, "insert_crystal");
  MP::CEmitter* burst = FindGroupEmitter(m_emitters, red ? kRedBurst : kGreenBurst);
  const Ombrel::SLayoutBox* socket = nullptr;
  if (Objects())
    for (const SSceneObject& object : *Objects())
      if (object.name == objectName) socket = FindNode(object.sprite.c_str());
  if (burst && socket) StartAt(burst, LayoutToParticle(socket->position));
  if (MP::CEmitter* sparkle = red ? m_redSparkle.get() : m_greenSparkle.get()) sparkle->StopEmitter();
}

// ---- the win ----

void CMiniGame1::RunWin(float dt) {
  if (m_winTimer == 0.0f) {
    PlaySound(m_sounds, "g1comp");
    StartSparks();
    m_winTimer += dt;
    return;
  }
  m_winTimer += dt;
  if (!m_parts.completion) return;
  const float f = (1.0f - m_winTimer * 0.5f) * (1.0f - m_winTimer * 0.5f);
  for (int32_t k = 0; k < 6; ++k) {
    const int32_t thread = kMixedThreads[k];
    const Vector2& green = *m_jewels[size_t(kThreads[thread][0] >= kGreen ? kThreads[thread][0] : kThreads[thread][1])];
    const Vector2& red = *m_jewels[size_t(kThreads[thread][0] >= kGreen ? kThreads[thread][1] : kThreads[thread][0])];
    if (MP::CEmitter* spark = m_parts.completion->GetEmitter(uint32_t(k)))
      spark->SetPosition(LayoutToParticle({green.x + f * (red.x - green.x), green.y + f * (red.y - green.y)}));
  }
}

void CMiniGame1::StartSparks() {
  for (int32_t k = 0; k < 6 && m_parts.completion; ++k) {
    const int32_t thread = kMixedThreads[k];
    const int32_t red = kThreads[thread][0] >= kGreen ? kThreads[thread][1] : kThreads[thread][0];
    StartAt(m_parts.completion->GetEmitter(uint32_t(k)), LayoutToParticle(*m_jewels[size_t(red)]));
  }
  // Red bursts on the green jewels and green bursts on the red ones.
  for (int32_t i = 0; i < 4; ++i) {
    if (m_parts.redBursts)
      StartAt(m_parts.redBursts->GetEmitter(uint32_t(i)), LayoutToParticle(*m_jewels[size_t(kGreen + i)]));
    if (m_parts.greenBursts)
      StartAt(m_parts.greenBursts->GetEmitter(uint32_t(i)), LayoutToParticle(*m_jewels[size_t(kRed + i)]));
  }
}

void CMiniGame1::Complete() {
  HideSkipButton();
  SetMapMarker(m_player, "root/Scene04/Game", false);
  SetMapMarker(m_player, "root/Scene04/PointOfInterest3", true);
  ApplyCloseUpResults();
  if (m_parts.boxOpened && m_parts.boxOpened->GetState() != MP::CEmitter::kRunning) m_parts.boxOpened->Start();
  PlaySound(m_sounds, "were_box");
  StartClosing();
}

// Every link to the box closes for good; in the close-up the box shows open and its key moves.
void CMiniGame1::ApplyCloseUpResults() {
  if (!m_world) return;
  for (uint32_t scene = 0; scene < m_world->SceneCount(); ++scene) CloseLinksToBox(m_world->Scene(scene).miniGames);
  for (uint32_t closeUp = 0; closeUp < m_world->CloseUpCount(); ++closeUp)
    CloseLinksToBox(m_world->CloseUp(closeUp).miniGames);
  RecordObjectState(*m_world, kKeyCondition, kLockOpened);
  for (SSceneObject& object : m_world->CloseUp(kBoxCloseUp).objects) {
    if (object.name != kBoxKey || object.animations.empty()) continue;
    object.currentAnimation = 0;
  }
  CPlaceChanges closeUp(*m_world, m_shared.layouts, kBoxCloseUp, true);
  closeUp.Show(kBoxClosed, false);
  if (closeUp.Show(kBoxOpen, true)) closeUp.RestartAnimation(kBoxOpen);
}

// ---- drawing ----

void CMiniGame1::Render() {
  float alpha = 0.0f;
  if (!BeginRender(alpha)) return;
  DrawLayout(alpha, [this, alpha](const Ombrel::SLayoutItem& item) {
    if (item.name == kBackground) DrawConnectors(alpha);
  });
  for (MP::CEmitter* sparkle : {m_greenSparkle.get(), m_redSparkle.get()})
    if (sparkle && sparkle->GetState() != MP::CEmitter::kStopped) sparkle->Render();
}

// Each thread a strip of its texture from one jewel to the other, repeated along its length.
void CMiniGame1::DrawConnectors(float alpha) {
  const float aspect = GetAspect();
  Ombrel::CSpriteData data(m_redPresent && m_greenPresent ? m_parts.activeConnector : m_parts.inactiveConnector);
  data.SetColour({kThreadGrey, kThreadGrey, kThreadGrey, FadeByte(alpha)});
  m_sprite->SetWrap();
  for (const Connector& connector : m_connectors) {
    const Vector2 a = ToVirtualScreen(*connector.first);
    const Vector2 b = ToVirtualScreen(*connector.second);
    const float dx = b.x - a.x, dy = b.y - a.y;
    Vector2 direction{dx * aspect, dy};
    Vector2Normalize(&direction);
    float angle = std::acos(direction.y);
    if (direction.x < 0.0f) angle = -angle;
    const float length = std::sqrt(dx * dx + dy * dy);
    const float drawn = std::fmax(length + (length * aspect - length) * (1.0f - std::fabs(direction.y)), 0.0001f);
    data.SetSize(kThreadWidth, drawn);
    data.SetAngle(angle);
    data.SetTexCoords({0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, drawn / kThreadWidth}, {0.0f, drawn / kThreadWidth});
    m_sprite->SetSpriteData(data);
    m_sprite->SetPosition({a.x + dx * 0.5f, a.y + dy * 0.5f});
    m_sprite->SetScale({1.0f, 1.0f});
    m_sprite->Render();
  }
  m_sprite->SetAddressModes(kDrawClamp, kDrawClamp);
  data.SetAngle(0.0f);
  m_sprite->SetSpriteData(data);
}

bool CMiniGame1::IsUntangled() const {
  for (int32_t i = 0; i < kConnectorCount; ++i) {
    const Vector2* a = m_connectors[size_t(i)].first;
    const Vector2* b = m_connectors[size_t(i)].second;
    for (int32_t j = 0; j < kConnectorCount; ++j) {
      if (i == j) continue;
      const Vector2* c = m_connectors[size_t(j)].first;
      const Vector2* d = m_connectors[size_t(j)].second;
      if (SamePoint(*c, *a) || SamePoint(*c, *b) || SamePoint(*d, *a) || SamePoint(*d, *b)) continue;
      if (Orientation(*a, *b, *c) != Orientation(*a, *b, *d) && Orientation(*c, *d, *b) != Orientation(*c, *d, *a))
        return false;
    }
  }
  return true;
}

int CMiniGame1::Orientation(const Vector2& p, const Vector2& q, const Vector2& r) {
  const float cross = (q.x - p.x) * (r.y - p.y) - (r.x - p.x) * (q.y - p.y);
  if (cross > 0.0f) return -1;
  if (cross < 0.0f) return 1;
  return 0;
}

}  // namespace Vey
