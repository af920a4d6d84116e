#include "Src/MiniGames/Vey_CollectorsMiniGame1.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omLayout2D.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_MPManager.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/Location/Vey_SceneScreens.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/Location/Vey_MiniGameWorld.h"
#include "Src/MiniGames/Vey_PuzzleDrawing.h"

namespace Vey {

namespace {

constexpr const char* kCoinObject = "G01_Coin";
constexpr uint32_t kMachineScene = 3;  // the bonus location that shows the machine
constexpr float kMonitorOffRate = 0.33f;
constexpr float kScreenDarkAt = 0.66f;  // monitor timer: the picture gone (2 s)
constexpr float kCoinDropAt = 1.5f;     // monitor timer: the coin falls (4.5 s)

void StartLooped(const char* name) {
  if (MP::CEmitter* emitter = FindLoadedEmitter(name)) {
    emitter->SetLoopMode(1);
    emitter->Start();
  }
}

void StartOnce(const char* name) {
  if (MP::CEmitter* emitter = FindLoadedEmitter(name)) emitter->Start();
}

void Stop(const char* name) {
  if (MP::CEmitter* emitter = FindLoadedEmitter(name)) emitter->StopEmitter();
}

void SetVisible(Ombrel::SLayoutBox* node, bool visible) {
  if (node) node->visible = visible;
}

// The arcade keeps its two bytes at the head of the first puzzle's block: whether they were
// written, and whether the machine has been played.
uint8_t& WrittenByte(SMiniGameBlock& block) { return block.bytes0[0]; }
uint8_t& PlayedByte(SMiniGameBlock& block) { return block.bytes0[1]; }

}  // namespace

CCollectorsMiniGame1::CCollectorsMiniGame1(Ombrel::CLayout2D* layout, const SMiniGameShared& shared,
                                           IItemFrame* itemFrame)
    : CMiniGameBase("CollectorsMiniGame1", kIndex, layout, shared),
      m_itemFrame(itemFrame),
      m_button(FindNode("root/Button")),
      m_screen(FindNode("root/Screen")),
      m_block(FindNode("root/Block")),
      m_placedBlock(FindNode("root/PlacedBlock")),
      m_lamps{FindNode("root/Lamp1"), FindNode("root/Lamp2"), FindNode("root/Lamp3"), FindNode("root/Lamp4")},
      m_monitorOff(FindNode("root/MonitorOff")),
      m_coin(FindNode("root/Coin")) {
  m_sprite->SetAspectCorrection(true);
  m_playable = true;
  SMiniGameBlock& block = SavedBlock();
  if (WrittenByte(block) != 0)
    m_introShown = PlayedByte(block) != 0;
  else
    WrittenByte(block) = 1;
}

void CCollectorsMiniGame1::ReadInput(float dt) {
  if (m_state == kClosed) return;
  if (m_itemFrameOpen) {
    m_pressed = false;
    m_released = false;
    if (m_itemFrame) m_itemFrame->ReadInput();
    if (m_player) {
      m_player->ShowSkipButton(false);
      m_player->ShowHelpButton(false);
    }
  } else {
    CMiniGameBase::ReadInput(dt);
  }
  if (m_state == kHelpShown && IsOver()) HideSkipButton();
}

void CCollectorsMiniGame1::Update(float dt) {
  if (!BeginUpdate(dt)) return;
  const std::string picked = UpdatePointer();
  if (m_state == kOpening && IsOver()) HideSkipButton();
  switch (AdvanceFade(dt)) {
    case kOpened:
      if (!m_stack.IsWon()) StartLooped("G01_MonitorOn");
      return;
    case kClosedNow:
      // Left after the win: the monitor is off when the machine is seen again.
      if (IsOver()) {
        m_monitorTimer = 1.0f;
        HideSkipButton();
        SwitchMonitorOff(dt);
      }
      return;
    default:
      break;
  }
  if (m_state != kPlaying) return;

  if (!m_introShown && m_playable) {
    m_introShown = true;
    PlayedByte(SavedBlock()) = 1;
  }
  if (m_itemFrameOpen) {
    if (m_itemFrame) m_itemFrame->Update(dt);
    if (!m_itemFrame || m_itemFrame->GetState() == 0) {
      m_itemFrameOpen = false;
      if (m_effectsNode) m_effectsNode->SetDrawn(true);
    }
    return;
  }
  if (!IsOver()) {
    BlinkLamps();
    m_stack.Slide(dt);
  }
  if (m_pressed && Click(picked)) return;

  if (m_completeDelay >= 0.0001f) {
    Complete();
  } else if (m_coinTaken) {
    m_completeDelay += dt;
  } else if (IsOver()) {
    SwitchMonitorOff(dt);
  }
}

// The lamps alternate every half second of play.
void CCollectorsMiniGame1::BlinkLamps() {
  const bool firstPair = int32_t(2.0f * m_skipTimer) % 2 == 0;
  for (size_t i = 0; i < m_lamps.size(); ++i) SetVisible(m_lamps[i], (i % 2 == 0) == firstPair);
}

bool CCollectorsMiniGame1::Click(const std::string& picked) {
  // The skip button only skips, whatever of the machine lies under it (the way back may).
  if (IsMouseOverSkipButton()) {
    m_skipRequested = true;
    return true;
  }
  if (m_player && m_player->IsMouseOverHud()) return false;
  if (picked == kCoinObject) {
    TakeCoin(picked);
    return true;
  }
  if (!m_stack.IsWon() && IsMouseOver(m_button)) {
    PressButton();
    return true;
  }
  if (m_completeDelay == 0.0f && IsMouseOverExit()) {
    CloseMachine();
    return true;
  }
  return false;
}

void CCollectorsMiniGame1::PressButton() {
  const EArcadePress result = m_stack.Press(RandomFloatInRange(*m_random, 0.0f, 1.0f));
  if (m_sounds) m_sounds->PlaySoundByName(result == EArcadePress::kLost ? "arcade_bad" : "arcade_good", 1.0f);
}

void CCollectorsMiniGame1::TakeCoin(const std::string& picked) {
  if (!m_world || !m_layout) return;
  for (SSceneObject& object : m_world->MiniGame(uint32_t(kIndex)).objects) {
    if (object.name != picked || !object.pickable) continue;
    Ombrel::SLayoutItem* item = m_layout->FindItem(object.sprite.c_str());
    auto* node = dynamic_cast<Ombrel::SLayoutBox*>(item);
    if (!node || !node->visible) continue;
    object.picked = true;
    if (object.emitter) {
      if (object.emitter->GetState() == MP::CEmitter::kRunning) object.emitter->InterruptEmitter();
      object.emitter = nullptr;
    }
    m_itemFrameOpen = true;
    if (m_itemFrame) m_itemFrame->Show(object.name);
    node->visible = false;
    if (m_player) {
      m_player->SetBarFrozen(true);
      m_player->AddItem(object.name, false, ToVirtualScreen(node->position));
    }
    if (m_sounds && !object.sound.empty()) m_sounds->PlaySoundByName(object.sound.c_str(), 1.0f);
    if (IsOver()) HideSkipButton();
    CaptureBackground();
    m_coinTaken = true;
  }
}

// After the win: the monitor goes dark in two seconds and the coin drops after four and a half.
void CCollectorsMiniGame1::SwitchMonitorOff(float dt) {
  HideSkipButton();
  if (m_monitorTimer <= 0.0001f) {
    Stop("G01_MonitorOn");
    StartOnce("G01_MonitorGoingOff");
    if (m_sounds) m_sounds->PlaySoundByName("arcade_off", 1.0f);
    ShowMonitorOffInLocation();
    for (Ombrel::SLayoutBox* lamp : m_lamps) SetVisible(lamp, false);
  }
  m_monitorTimer += kMonitorOffRate * dt;
  if (m_monitorTimer >= kScreenDarkAt) {
    SetVisible(m_monitorOff, true);
    SetVisible(m_screen, false);
  }
  if (m_monitorTimer > kCoinDropAt && m_coin && !m_coin->visible) {
    StartOnce("G01_Coin");
    StartLooped("G01_Smoke");
    m_coin->visible = true;
    if (m_sounds) m_sounds->PlaySoundByName("arcade_coin", 1.0f);
  }
}

// The machine seen in the location goes dark too, and stays so in the saved game (recorded even
// while the player is elsewhere and the room's layout is not loaded).
void CCollectorsMiniGame1::ShowMonitorOffInLocation() {
  if (m_world) {
    CPlaceChanges room(*m_world, m_shared.layouts, kMachineScene, false);
    room.Show("root/GameOn1", false);
    room.Show("root/GameOff", true);
  }
  Stop("S04_MonitorOn");
  StartLooped("S04_MonitorOff");
}

// The machine's hot spot and its map marker are gone for good.
void CCollectorsMiniGame1::Complete() {
  HideSkipButton();
  if (m_player && m_player->GetMapFrame()) m_player->GetMapFrame()->SetMarkerVisible("root/Scene04/Game0", false);
  if (m_world) RetireMiniGameLinks(*m_world, uint32_t(kIndex), "S01_Note", "Impossible");
  CloseMachine();
}

void CCollectorsMiniGame1::CloseMachine() {
  StartClosing();
  if (m_sounds) m_sounds->StopAllExcept(m_player ? m_player->GetAmbientSlot() : -1, -1);
}

// ---- drawing ----

void CCollectorsMiniGame1::Render() {
  const bool capture = m_drawForCapture;
  float alpha = 0.0f;
  if (!BeginRender(alpha)) {
    if (m_state == kHelpShown && IsOver()) HideSkipButton();
    return;
  }
  // Behind the coin's frame the machine stands frozen (the frame draws itself).
  if (m_itemFrameOpen && !capture) {
    RenderHelpShade();
    return;
  }
  DrawLayout(alpha);
  if (m_screen && m_screen->visible) RenderGrid(alpha);
}

// The cells of the monitor, eight across and eleven up, row 0 at the bottom: the placed rows,
// then the sliding one.
void CCollectorsMiniGame1::RenderGrid(float alpha) {
  const Vector2 centre = ToVirtualScreen(m_screen->position);
  const float width = m_screen->size.x * kLayoutUnit * GetInvAspect();
  const float height = m_screen->size.y * kLayoutUnit;
  const Vector2 cell{width / float(kArcadeColumns), height / float(kArcadeRows)};
  const float left = centre.x - width / 2.0f;
  const float top = centre.y - height / 2.0f;
  const uint8_t alphaByte = uint8_t(alpha * 128.0f);
  auto drawRow = [&](uint32_t row, const Ombrel::SLayoutBox* look) {
    if (!look) return;
    for (uint32_t c = 0; c < kArcadeColumns; ++c) {
      if (!m_stack.IsSet(row, c)) continue;
      const Vector2 at{left + float(c) * cell.x + cell.x / 2.0f,
                       top + float(kArcadeRows - 1 - row) * cell.y + cell.y / 2.0f};
      DrawPiece(*m_sprite, *look, {at, cell, 0.0f, PictureRgb(*look), alphaByte});
    }
  };
  // The geometry is corrected for the screen's aspect already.
  m_sprite->SetAspectCorrection(false);
  const uint32_t placed = m_stack.GetLevel() < kArcadeWinLevel ? m_stack.GetLevel() : kArcadeWinLevel;
  for (uint32_t row = 0; row < placed; ++row) drawRow(row, m_placedBlock);
  if (!m_stack.IsWon()) drawRow(m_stack.GetLevel(), m_block);
  m_sprite->SetAspectCorrection(true);
}

}  // namespace Vey
