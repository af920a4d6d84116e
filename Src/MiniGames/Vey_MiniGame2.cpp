#include "Src/MiniGames/Vey_MiniGame2.h"

#include "Framework/omLayout2D.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/Location/Vey_MiniGameWorld.h"
#include "Src/MiniGames/Vey_PuzzleDrawing.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace Vey {

namespace {

constexpr const char* kVeyMiniGame2Source = "Src/MiniGames/Vey_MiniGame2";
constexpr const char* kHomeFolder = "root/Key/";
constexpr const char* kTargetFolder = "root/Dummy/";
constexpr const char* kPartNodePrefix = "root/Key/key_";
constexpr const char* kMapMarker = "root/Scene08/Game0";
constexpr const char* kWire = "root/WireApply1";
constexpr const char* kOpenDoor = "root/Door_open_01";
constexpr const char* kDoorSound = "S06_LeftDoorSound";
constexpr float kMiniGame2ShadowOffset = 5.0f;  // virtual-screen units, down and to the left

std::string PartName(int32_t index) {
  char name[24];
  std::snprintf(name, sizeof name, "key_%.2d", index + 1);
  return name;
}

}  // namespace

CMiniGame2::CMiniGame2(Ombrel::CLayout2D* layout, const SMiniGameShared& shared)
    : CMiniGameBase("MiniGame2", kPuzzleIndex, layout, shared) {
  for (int32_t i = 0; i < kKeyPartCount; ++i) m_parts[size_t(i)].name = PartName(i);
  m_playable = true;
  LoadFromProfile();
}

void CMiniGame2::LoadFromProfile() {
  SMiniGameBlock& block = SavedBlock();
  SKeySave save;
  std::string problem;
  if (!ReadKeySave(block, &save, &problem)) {
    HM_REPORT(kVeyMiniGame2Source, "Save file: the key puzzle's block is damaged (%s); the puzzle starts afresh",
              problem.c_str());
    ClearKeySave(block);
  }
  m_introShown = save.introShown;
  for (int32_t i = 0; i < kKeyPartCount; ++i) {
    SKeyPart& part = m_parts[size_t(i)];
    part.placed = save.placed[size_t(i)];
    if (part.placed) part.move = 1.0f;
  }
}

bool CMiniGame2::AllPartsPlaced() const {
  for (const SKeyPart& part : m_parts)
    if (!part.placed || part.move != 1.0f) return false;
  return true;
}

const Ombrel::SLayoutBox* CMiniGame2::PartNode(const char* folder, int32_t index) const {
  if (index < 0 || index >= kKeyPartCount) return nullptr;
  return FindNode((folder + m_parts[size_t(index)].name).c_str());
}

bool CMiniGame2::IsMouseNear(const char* folder) const {
  const Ombrel::SLayoutBox* node = PartNode(folder, m_heldIndex);
  return node && IsWithinKeyReach(m_mouse, ToVirtualScreen(node->position));
}

bool CMiniGame2::IsMouseNearHome() const { return IsMouseNear(kHomeFolder); }
bool CMiniGame2::IsMouseNearTarget() const { return IsMouseNear(kTargetFolder); }

// ---- the frame ----

void CMiniGame2::Update(float dt) {
  if (!BeginUpdate(dt)) return;
  const std::string picked = UpdatePointer();
  AdvanceFade(dt);
  if (m_state != kPlaying) return;
  ShowIntroOnce("G02_1_Dialog", KeyIntroFlag(SavedBlock()));
  // The skip button waits while a part is in hand, so that the part is not lost with the win.
  if (m_pressed && m_heldIndex < 0 && IsMouseOverSkipButton()) m_skipRequested = true;
  AdvanceGlides(dt);
  if (IsPuzzleClick() && HandleClick(picked)) return;
  if (m_heldIndex < 0) WaitForWin(dt);
}

void CMiniGame2::AdvanceGlides(float dt) {
  for (int32_t i = 0; i < kKeyPartCount; ++i) {
    SKeyPart& part = m_parts[size_t(i)];
    if (part.move >= 1.0f) continue;
    part.move = std::fmin(std::fmax(part.move + kGlideSpeed * dt, 0.0f), 1.0f);
    if (!part.placed || part.move != 1.0f) continue;
    char effect[24];
    std::snprintf(effect, sizeof effect, "G02_Key%.2d", i + 1);
    StartGroupEmitter(m_emitters, effect);
  }
}

bool CMiniGame2::HandleClick(const std::string& picked) {
  if (m_heldIndex >= 0) {
    DropHeldPart();
    return true;
  }
  const int32_t part = PickedPart(picked);
  if (part >= 0) {
    // A placed part stays put, silently.
    if (!m_parts[size_t(part)].placed) {
      m_heldIndex = part;
      PlaySound(m_sounds, "key_take");
    }
    return true;
  }
  if (IsMouseOverExit()) {
    StartClosing();
    return true;
  }
  ShowNote(m_player, "G02_Hint_Note");
  return false;
}

int32_t CMiniGame2::PickedPart(const std::string& picked) const {
  const SObjectList* objects = Objects();
  if (picked == "None" || !objects) return -1;
  for (const SSceneObject& object : *objects)
    if (object.name == picked) return KeyPartFromName(object.sprite);
  return -1;
}

void CMiniGame2::DropHeldPart() {
  SKeyPart& part = m_parts[size_t(m_heldIndex)];
  part.move = 0.0f;
  part.dropPoint = m_mouse;
  if (IsMouseNearTarget()) {
    part.placed = true;
    WriteKeyPlaced(SavedBlock(), m_heldIndex, true);
    PlaySound(m_sounds, "key_good");
  } else {
    PlaySound(m_sounds, IsMouseNearHome() ? "key_back" : "key_bad");
  }
  m_heldIndex = -1;
}

void CMiniGame2::WaitForWin(float dt) {
  if (AllPartsPlaced()) {
    if (m_assembledTimer == 0.0f) {
      StartGroupEmitter(m_emitters, "G02_KeyAssembled");
      PlaySound(m_sounds, "puzzlesolved");
    }
    m_assembledTimer += dt;
  }
  if (m_assembledTimer >= kAssembledWait || m_skipRequested) Complete();
}

// ---- the win ----

void CMiniGame2::Complete() {
  HideSkipButton();
  SetMapMarker(m_player, kMapMarker, false);
  if (m_world) {
    CloseLinks(m_world->CloseUp(kCloseUp).miniGames, kPuzzleIndex, true, "S06_Star");
    OpenExitsIn(m_world->Scene(kLocation), kOpenedExit, true);
    OpenTheWay();
  }
  StartClosing();
  if (m_world) ShowDoorSound();
}

// In S06: the wire gone, the door swinging open; both kept for the location's next visit.
void CMiniGame2::OpenTheWay() {
  CPlaceChanges location(*m_world, m_shared.layouts, kLocation, false);
  location.Show(kWire, false);
  if (location.Show(kOpenDoor, true)) location.RestartAnimation(kOpenDoor);
}

// The door's creak, an object of S06 whose first animation plays its sound.
void CMiniGame2::ShowDoorSound() {
  for (SSceneObject& object : m_world->Scene(kLocation).objects) {
    if (object.name != kDoorSound) continue;
    if (!CPlaceChanges(*m_world, m_shared.layouts, kLocation, false).Show(object.sprite.c_str(), true)) return;
    if (!object.animations.empty()) object.currentAnimation = 0;
    return;
  }
}

// ---- drawing ----

void CMiniGame2::Render() {
  float alpha = 0.0f;
  if (!BeginRender(alpha) || !m_layout) return;
  const Ombrel::SLayoutBox* held = PartNode(kHomeFolder, m_heldIndex);
  for (uint32_t i = 0; i < m_layout->GetCount(); ++i) {
    const Ombrel::SLayoutItem* item = m_layout->GetItem(i);
    const auto* box = dynamic_cast<const Ombrel::SLayoutBox*>(item);
    if (!box || !box->visible || box == held) continue;
    DrawElement(*box, alpha);
  }
  DrawHeldPart(alpha);
}

Vector2 CMiniGame2::PartPlace(int32_t index, const Ombrel::SLayoutBox& home, float* shadow) const {
  const SKeyPart& part = m_parts[size_t(index)];
  const float s = (1.0f - part.move) * (1.0f - part.move);
  const Ombrel::SLayoutBox* target = part.placed ? PartNode(kTargetFolder, index) : nullptr;
  const Vector2 destination = ToVirtualScreen((target ? *target : home).position);
  *shadow = s;
  return {destination.x + (part.dropPoint.x - destination.x) * s,
          destination.y + (part.dropPoint.y - destination.y) * s};
}

void CMiniGame2::DrawElement(const Ombrel::SLayoutBox& node, float alpha) {
  const size_t prefix = std::strlen(kPartNodePrefix);
  const bool isPart = node.name.size() == prefix + 2 && node.name.compare(0, prefix, kPartNodePrefix) == 0;
  const int32_t index = isPart ? KeyPartFromName(node.name) : -1;
  if (index < 0) {
    DrawNode(node, alpha);
    return;
  }
  float s = 0.0f;
  const Vector2 place = PartPlace(index, node, &s);
  if (m_parts[size_t(index)].move != 1.0f)
    DrawPiece(*m_sprite, node,
              PictureLook(node, {place.x - kMiniGame2ShadowOffset * s, place.y + kMiniGame2ShadowOffset * s},
                          kShadowColour, uint8_t(64.0f * alpha * s)));
  DrawPiece(*m_sprite, node, PictureLook(node, place, node.colour, FadeByte(alpha)));
}

void CMiniGame2::DrawHeldPart(float alpha) {
  const Ombrel::SLayoutBox* node = PartNode(kHomeFolder, m_heldIndex);
  if (!node) return;
  DrawPiece(*m_sprite, *node,
            PictureLook(*node, {m_mouse.x - kMiniGame2ShadowOffset, m_mouse.y + kMiniGame2ShadowOffset}, kShadowColour,
                        uint8_t(64.0f * alpha)));
  DrawPiece(*m_sprite, *node, PictureLook(*node, m_mouse, node->colour, FadeByte(alpha)));
}

}  // namespace Vey
