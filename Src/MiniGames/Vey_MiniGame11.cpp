#include "Src/MiniGames/Vey_MiniGame11.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omLayout2D.h"
#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_MPManager.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/Location/Vey_MiniGameWorld.h"
#include "Src/MiniGames/Vey_PuzzleDrawing.h"

#include <cstring>

namespace Vey {

namespace {

constexpr const char* kAxisNodes[kGearAxisCount] = {
    "root/Axes/Axis1",  "root/Axes/Axis2",  "root/Axes/Axis3",  "root/Axes/Axis4",  "root/Axes/Axis5",
    "root/Axes/Axis6",  "root/Axes/Axis7",  "root/Axes/Axis8",  "root/Axes/Axis9",  "root/Axes/Axis10",
    "root/Axes/Axis11", "root/Axes/Axis12", "root/Axes/Axis13", "root/Axes/Axis14", "root/Axes/Axis15"};
constexpr const char* kGearNodes[kGearCount] = {
    "root/Gears/GearA",  "root/Gears/GearA0", "root/Gears/GearB",  "root/Gears/GearB0",
    "root/Gears/GearB1", "root/Gears/GearC",  "root/Gears/GearC0", "root/Gears/GearD",
    "root/Gears/GearD0", "root/Gears/GearD1", "root/BGparts/MainGear", "root/BGparts/LockGear"};
// Pieces the board draws itself rather than in the layout's pass.
constexpr const char* kOwnPieces[] = {"root/Gears", "root/Axes/", "root/BGpar"};
constexpr uint32_t kLatchIndex = 3;     // the layout entry pushed out as the lock opens
constexpr uint32_t kFixedGearsAfter = 1;  // the fixed gears are drawn right after this entry
constexpr float kLatchTravel = 0.3f;    // layout units
constexpr float kRimGrowth = 0.025f;    // layout units around a gear's picture
constexpr uint32_t kRimRgb = 0x282828;  // RGB (40, 40, 40)
constexpr float kMiniGame11ShadowOffset = 5.0f;  // virtual units
// A place no axle or gear of a damaged layout can be reached at.
constexpr Vector2 kNowhere{1.0e4f, 1.0e4f};

bool IsOwnPiece(const std::string& name) {
  for (const char* prefix : kOwnPieces)
    if (name.compare(0, std::strlen(prefix), prefix) == 0) return true;
  return false;
}

}  // namespace

CMiniGame11::CMiniGame11(Ombrel::CLayout2D* layout, const SMiniGameShared& shared, CEmitterPool* fitPool)
    : CMiniGameBase("MiniGame11", kIndex, layout, shared), m_fitPool(fitPool) {
  m_completeEmitter = FindLoadedEmitter("G11_Complete");
  BindLayout();
  LoadFromProfile();
  m_playable = true;
}

void CMiniGame11::BindLayout() {
  std::array<Vector2, kGearAxisCount> axes;
  std::array<Vector2, kGearCount> homes;
  std::array<Vector2, kGearCount> sizes{};
  for (int32_t a = 0; a < kGearAxisCount; ++a) {
    m_axisNodes[a] = FindNode(kAxisNodes[a]);
    axes[a] = m_axisNodes[a] ? m_axisNodes[a]->position : kNowhere;
  }
  // A missing gear has no size: it can be neither picked nor meshed.
  for (int32_t g = 0; g < kGearCount; ++g) {
    m_gearNodes[g] = FindNode(kGearNodes[g]);
    homes[g] = m_gearNodes[g] ? m_gearNodes[g]->position : kNowhere;
    if (m_gearNodes[g]) sizes[g] = m_gearNodes[g]->size;
  }
  if (m_layout && m_layout->GetCount() > kLatchIndex)
    m_latch = dynamic_cast<Ombrel::SLayoutBox*>(m_layout->GetItem(kLatchIndex));
  m_train = std::make_unique<CGearTrain>(axes, homes, sizes);
}

void CMiniGame11::LoadFromProfile() {
  SMiniGameBlock& block = SavedBlock();
  if (GearTrainBlockWritten(block)) {
    m_introShown = GearTrainIntroFlag(block) != 0;
    m_train->Load(block);
  } else {
    m_train->StoreAll(block);
  }
}

void CMiniGame11::Enter() {
  CMiniGameBase::Enter();
  PlaySound(m_sounds, "rollgears");
}

void CMiniGame11::FadeOwnEffects(float alpha) {
  if (m_fitPool) m_fitPool->SetAlpha(alpha);
}

void CMiniGame11::Update(float dt) {
  if (!BeginUpdate(dt)) return;
  UpdatePointer();
  if (AdvanceFade(dt) == kClosedNow) {
    StopSound(m_sounds, "unlockroll");
    StopSound(m_sounds, "rollgears");
    return;
  }
  if (m_state != kPlaying) return;

  if (m_fitPool) m_fitPool->Update(dt);
  ShowIntroOnce("G11_1_Dialog", GearTrainIntroFlag(SavedBlock()));
  if (m_pressed && IsMouseOverSkipButton()) m_skipRequested = true;
  if (TurnTrain(dt)) return;
  if (IsPuzzleClick()) Click();
  if (m_state == kPlaying && (IsUnlocked() || m_skipRequested)) Complete();
}

bool CMiniGame11::TurnTrain(float dt) {
  const float before = m_train->GetUnlockProgress();
  const STrainStep step = m_train->TurnTrain(dt);
  m_train->StoreAngles(SavedBlock());
  for (const SGearFit& fit : step.fits) {
    MP::CEmitter* spark = m_fitPool ? m_fitPool->GetFreeEmitter() : nullptr;
    if (spark) {
      spark->SetPosition(LayoutToParticle(fit.point));
      spark->Start();
    }
    PlaySound(m_sounds, "gear_fit");
  }
  if (step.lockTurned && m_completeEmitter && m_completeEmitter->GetState() == MP::CEmitter::kStopped)
    m_completeEmitter->Start();
  const bool lockMoved = m_train->GetUnlockProgress() != before;
  if (m_sounds) {
    if (!lockMoved)
      m_sounds->StopSoundByName("unlockroll");
    else if (!m_sounds->IsPlayingByName("unlockroll"))
      m_sounds->PlaySoundByName("unlockroll", 1.0f);
  }
  return lockMoved;
}

void CMiniGame11::Click() {
  SMiniGameBlock& block = SavedBlock();
  if (m_heldGear != kNoGear) {
    PlaySound(m_sounds, "gearin");
    m_train->Drop(m_heldGear, m_train->FindFreeAxisAt(m_mouse), MouseInLayout());
    m_train->StorePlacement(block, m_heldGear);
    m_heldGear = kNoGear;
    return;
  }
  const int32_t picked = m_train->PickGear(m_mouse);
  if (picked != kNoGear) {
    PlaySound(m_sounds, "gearout");
    m_train->Lift(picked);
    m_heldGear = picked;
    return;
  }
  if (IsMouseOverExit()) {
    StartClosing();
  } else if (m_player) {
    m_player->ShowNote("G11_Hint_Note");
  }
}

// The lock's hot spot shuts for good and the way it barred opens.
void CMiniGame11::Complete() {
  HideSkipButton();
  if (m_world) {
    RetireMiniGameLinks(*m_world, kIndex, "S01_Entrance Key", "Impossible");
    OpenExitsTo(*m_world, 5);
  }
  StartClosing();
}

// ---- drawing ----

void CMiniGame11::Render() {
  float alpha = 0.0f;
  if (BeginRender(alpha)) {
    RenderBoard(alpha);
    RenderLooseGears(alpha);
    RenderHeldGear(alpha);
    RenderAxes(alpha);
  } else if (m_state != kHelpShown) {
    return;
  }
  if (m_fitPool) {
    m_fitPool->SetAlpha(alpha);
    m_fitPool->Render();
  }
}

void CMiniGame11::RenderBoard(float alpha) {
  if (!m_layout) return;
  for (uint32_t i = 0; i < m_layout->GetCount(); ++i) {
    const Ombrel::SLayoutItem* item = m_layout->GetItem(i);
    if (item && item->visible && !IsOwnPiece(item->name)) {
      if (const auto* box = dynamic_cast<const Ombrel::SLayoutBox*>(item)) DrawNode(*box, alpha);
    }
    if (i == kFixedGearsAfter) RenderFixedGears(alpha);
  }
}

void CMiniGame11::RenderFixedGears(float alpha) {
  for (bool rim : {true, false}) {
    for (int32_t g : {kDrivingGear, kLockGear})
      if (m_gearNodes[g]) RenderGear(g, ToVirtualScreen(m_gearNodes[g]->position), alpha, rim);
  }
  if (!m_latch) return;
  const Vector2 pushed{m_latch->position.x + kLatchTravel * m_train->GetUnlockProgress(), m_latch->position.y};
  DrawPiece(*m_sprite, *m_latch,
            {ToVirtualScreen(pushed), {m_latch->size.x * kLayoutUnit, m_latch->size.y * kLayoutUnit}, 0.0f,
             PictureRgb(*m_latch), FadeByte(alpha)});
}

void CMiniGame11::RenderLooseGears(float alpha) {
  for (int32_t g = 0; g < kLooseGearCount; ++g)
    if (g != m_heldGear && m_gearNodes[g]) RenderGear(g, ToVirtualScreen(m_train->DrawnPosition(g)), alpha, true);
  for (int32_t g = 0; g < kLooseGearCount; ++g) {
    if (g == m_heldGear || !m_gearNodes[g]) continue;
    const Ombrel::SLayoutBox& node = *m_gearNodes[g];
    const float rest = 1.0f - m_train->Gear(g).settle;
    const float lift = rest * rest;  // the shadow falls away as the gear lands
    const Vector2 centre = ToVirtualScreen(m_train->DrawnPosition(g));
    const float shadowSize = (node.size.y + (1.0f - lift) * kRimGrowth) * kLayoutUnit;
    DrawPiece(*m_sprite, node,
              {{centre.x - kMiniGame11ShadowOffset * lift, centre.y + kMiniGame11ShadowOffset * lift},
               {shadowSize, shadowSize},
               m_train->Gear(g).angle,
               0x000000,
               uint8_t(alpha * 64.0f * lift)});
    RenderGear(g, centre, alpha, false);
  }
}

void CMiniGame11::RenderHeldGear(float alpha) {
  if (m_heldGear == kNoGear || !m_gearNodes[m_heldGear]) return;
  const Ombrel::SLayoutBox& node = *m_gearNodes[m_heldGear];
  RenderGear(m_heldGear, m_mouse, alpha, true);
  const float shadowSize = (node.size.y + kRimGrowth) * kLayoutUnit;
  DrawPiece(*m_sprite, node,
            {{m_mouse.x - kMiniGame11ShadowOffset, m_mouse.y + kMiniGame11ShadowOffset},
             {shadowSize, shadowSize},
             m_train->Gear(m_heldGear).angle,
             0x000000,
             uint8_t(alpha * 64.0f)});
  RenderGear(m_heldGear, m_mouse, alpha, false);
}

void CMiniGame11::RenderAxes(float alpha) {
  for (const Ombrel::SLayoutBox* axis : m_axisNodes)
    if (axis && axis->visible) DrawNode(*axis, alpha);
}

// A gear at a virtual-screen place, turned by its angle: its dark rim, a little larger, or the
// gear itself in its own colour.
void CMiniGame11::RenderGear(int32_t gear, const Vector2& centre, float alpha, bool rim) {
  const Ombrel::SLayoutBox& node = *m_gearNodes[gear];
  const float grow = rim ? kRimGrowth : 0.0f;
  DrawPiece(*m_sprite, node,
            {centre,
             {(node.size.x + grow) * kLayoutUnit, (node.size.y + grow) * kLayoutUnit},
             m_train->Gear(gear).angle,
             rim ? kRimRgb : PictureRgb(node),
             FadeByte(alpha)});
}

}  // namespace Vey
