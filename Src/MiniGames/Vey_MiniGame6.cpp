#include "Src/MiniGames/Vey_MiniGame6.h"

#include "Framework/omLayout2D.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/Location/Vey_MiniGameWorld.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace Vey {

namespace {

constexpr int32_t kMiniGame6PuzzleIndex = 5;
constexpr size_t kMiniGame6BlockSize = 26;
constexpr size_t kMiniGame6IntroByte = 0;
constexpr size_t kMiniGame6WrittenByte = 1;
constexpr size_t kFirstGearByte = 2;
constexpr size_t kFirstSwitchByte = 18;
constexpr uint32_t kGateScene = 21;  // "Scene22", the location behind the puzzle
constexpr float kSlideLength = 0.1f;
constexpr float kTurnRate = 2.0f;  // a wheel turns, a switch slides, in half a second
constexpr float kMiniGame6WinWait = 3.0f;
constexpr float kMiniGame6Pi = 3.1415927f;

static_assert(offsetof(SMiniGameBlock, word412) == CMiniGame6::kSavedOffset, "the gears' block");
static_assert(offsetof(SMiniGameBlock, words440) - offsetof(SMiniGameBlock, word412) >= kMiniGame6BlockSize,
              "the gears' block must not reach into the next puzzle's");

// Wheels 1, 4, 6, 7, 9, 12, 14 and 15 are on at the start: two crossed diagonals of pairs.
constexpr bool kStartsOn[CMiniGame6::kGearCount] = {true,  false, false, true, false, true, true,  false,
                                                    true,  false, false, true, false, true, true,  false};

bool IsColumnSwitch(int32_t s) { return s < CMiniGame6::kGridSide; }

// The wheel of switch s's line at position i (0..3) along it.
int32_t GearOfSwitch(int32_t s, int32_t i) {
  return IsColumnSwitch(s) ? s + CMiniGame6::kGridSide * i : CMiniGame6::kGridSide * (s - CMiniGame6::kGridSide) + i;
}

// A wheel is on exactly when its starting state was flipped by an even number of its two
// switches; any other pattern was never written by the puzzle and may not be solvable.
bool IsReachable(const uint8_t* block) {
  for (int32_t k = 0; k < CMiniGame6::kGearCount; ++k) {
    const int32_t column = k % CMiniGame6::kGridSide;
    const int32_t row = k / CMiniGame6::kGridSide;
    const bool flipped = (block[kFirstSwitchByte + size_t(column)] != 0) !=
                         (block[kFirstSwitchByte + size_t(CMiniGame6::kGridSide + row)] != 0);
    if ((block[kFirstGearByte + size_t(k)] != 0) != (kStartsOn[k] != flipped)) return false;
  }
  return true;
}

// Every byte a flag, and the wheels as the switches leave them.
bool IsSoundBlock(const uint8_t* block) {
  for (size_t i = 0; i < kMiniGame6BlockSize; ++i)
    if (block[i] > 1) return false;
  return block[kMiniGame6WrittenByte] == 0 || IsReachable(block);
}

Vector2 Lerp(const Vector2& a, const Vector2& b, float t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

// One frame of a wheel's turn or a switch's slide towards on (1) or off (0).
float StepTowards(float value, bool on, float step) {
  const float next = on ? value + step : value - step;
  return next < 0.0f ? 0.0f : (next > 1.0f ? 1.0f : next);
}

}  // namespace

bool CMiniGame6::StartsOn(int32_t gear) { return gear >= 0 && gear < kGearCount && kStartsOn[gear]; }
int32_t CMiniGame6::GearOfSwitch(int32_t s, int32_t i) { return Vey::GearOfSwitch(s, i); }

CMiniGame6::CMiniGame6(const SMiniGameShared& shared, Ombrel::CLayout2D* layout)
    : CMiniGameBase("MiniGame6", kMiniGame6PuzzleIndex, layout, shared) {
  char name[32];
  for (int32_t k = 0; k < kGearCount; ++k) {
    std::snprintf(name, sizeof(name), "root/Gear%02d", k + 1);
    m_gears[size_t(k)].node = FindNode(name);
  }
  for (int32_t s = 0; s < kSwitchCount; ++s) {
    SSwitch& slide = m_switches[size_t(s)];
    std::snprintf(name, sizeof(name), "root/Switch%d", s + 1);
    slide.node = FindNode(name);
    if (slide.node) slide.start = slide.node->position;
    slide.end = IsColumnSwitch(s) ? Vector2{slide.start.x, slide.start.y - kSlideLength}
                                  : Vector2{slide.start.x - kSlideLength, slide.start.y};
  }
  SetStartingLayout();
  const Ombrel::SLayoutBox* glow = FindNode("root/GearActivated");
  if (glow && glow->kind == Ombrel::kLayoutSprite)
    m_gearActivatedTexture = static_cast<const Ombrel::SLayoutSprite*>(glow)->texture;
  m_playable = true;
  LoadFromProfile();
  StoreToProfile();
}

CMiniGame6::~CMiniGame6() = default;

void CMiniGame6::SetStartingLayout() {
  for (int32_t k = 0; k < kGearCount; ++k) {
    m_gears[size_t(k)].off = kStartsOn[k] ? 0 : 1;
    m_gears[size_t(k)].turn = kStartsOn[k] ? 1.0f : 0.0f;
  }
  for (SSwitch& slide : m_switches) {
    slide.off = 1;
    slide.t = 0.0f;
    if (slide.node) slide.node->position = slide.start;
  }
}

uint8_t* CMiniGame6::Block() const { return BlockBytes(SavedBlock(), kSavedOffset); }

// A block of flags out of range, or wheels no switches could have left so, is a damaged save:
// the puzzle starts afresh and the block is written again from the start.
void CMiniGame6::LoadFromProfile() {
  uint8_t* block = Block();
  if (!IsSoundBlock(block)) {
    std::memset(block, 0, kMiniGame6BlockSize);
    return;
  }
  m_introShown = block[kMiniGame6IntroByte] != 0;
  if (block[kMiniGame6WrittenByte] == 0) return;
  for (int32_t k = 0; k < kGearCount; ++k) {
    SGear& gear = m_gears[size_t(k)];
    gear.off = block[kFirstGearByte + size_t(k)] == 0 ? 1 : 0;
    gear.turn = gear.off ? 0.0f : 1.0f;
  }
  for (int32_t s = 0; s < kSwitchCount; ++s) {
    SSwitch& slide = m_switches[size_t(s)];
    slide.off = block[kFirstSwitchByte + size_t(s)] == 0 ? 1 : 0;
    slide.t = slide.off ? 0.0f : 1.0f;
    if (slide.node) slide.node->position = Lerp(slide.start, slide.end, slide.t);
  }
}

void CMiniGame6::StoreToProfile() {
  uint8_t* block = Block();
  if (block[kMiniGame6WrittenByte] != 0) return;
  block[kMiniGame6WrittenByte] = 1;
  for (int32_t k = 0; k < kGearCount; ++k) block[kFirstGearByte + size_t(k)] = m_gears[size_t(k)].off ? 0 : 1;
  for (int32_t s = 0; s < kSwitchCount; ++s) block[kFirstSwitchByte + size_t(s)] = m_switches[size_t(s)].off ? 0 : 1;
}

void CMiniGame6::ToggleSwitch(int32_t s) {
  if (s < 0 || s >= kSwitchCount) return;
  SSwitch& slide = m_switches[size_t(s)];
  slide.off = slide.off == 1 ? 0 : 1;
  const bool on = slide.off == 0;
  if (IsColumnSwitch(s))
    PlaySound(m_sounds, on ? "g6_ron" : "g6_roff");
  else
    PlaySound(m_sounds, on ? "g6_uon" : "g6_uoff");
  uint8_t* block = Block();
  block[kFirstSwitchByte + size_t(s)] = on ? 1 : 0;
  for (int32_t i = 0; i < kGridSide; ++i) {
    const int32_t k = GearOfSwitch(s, i);
    SGear& gear = m_gears[size_t(k)];
    gear.off = gear.off == 1 ? 0 : 1;
    block[kFirstGearByte + size_t(k)] = gear.off ? 0 : 1;
  }
}

bool CMiniGame6::IsAnySwitchMoving() const {
  for (const SSwitch& slide : m_switches)
    if (slide.t > 0.0f && slide.t < 1.0f) return true;
  return false;
}

bool CMiniGame6::AreAllGearsOn() const {
  for (const SGear& gear : m_gears)
    if (gear.turn < 1.0f) return false;
  return true;
}

void CMiniGame6::AnimatePieces(float dt) {
  for (SGear& gear : m_gears) gear.turn = StepTowards(gear.turn, gear.off == 0, kTurnRate * dt);
  for (SSwitch& slide : m_switches) {
    slide.t = StepTowards(slide.t, slide.off == 0, kTurnRate * dt);
    if (slide.node) slide.node->position = Lerp(slide.start, slide.end, slide.t);
  }
}

// A click the heads-up display does not take: the exit leaves, a resting switch slides, anything
// else (empty space, a switch still sliding, an object that is no switch) earns the hint.
void CMiniGame6::HandleClick(const std::string& picked) {
  if (IsMouseOverExit()) {
    StartClosing();
    return;
  }
  const int32_t s = picked.empty() ? -1 : picked.back() - '1';
  if (picked != kPickedNothing && !IsAnySwitchMoving() && s >= 0 && s < kSwitchCount)
    ToggleSwitch(s);
  else
    ShowNote(m_player, "G06_Hint_Note");
}

void CMiniGame6::Update(float dt) {
  if (!BeginUpdate(dt)) return;
  const std::string picked = UpdatePointer();
  AdvanceFade(dt);
  if (m_state != kPlaying) return;
  ShowIntroOnce("G06_1_Dialog", Block()[kMiniGame6IntroByte]);
  if (m_pressed && IsMouseOverSkipButton()) m_skipRequested = true;
  AnimatePieces(dt);
  // Complete leaves Playing, so a skip in the frame the wheels come on wins only once.
  if (m_skipRequested) {
    Complete();
    return;
  }
  if (!AreAllGearsOn()) {
    if (IsPuzzleClick()) HandleClick(picked);
    return;
  }
  if (m_winTimer == 0.0f) {
    StartGroupEmitter(m_emitters, "G06_Complete");
    PlaySound(m_sounds, "g6_win");
  }
  m_winTimer += dt;
  if (m_winTimer >= kMiniGame6WinWait) Complete();
}

void CMiniGame6::Complete() {
  PlaySound(m_sounds, "puzzlesolved");
  HideSkipButton();
  SetMapMarker(m_player, "root/Scene24/Game3", false);
  SetMapMarker(m_player, "root/Scene24/Locked12", true);
  SetMapMarker(m_player, "root/Scene24/Locked13", true);
  if (m_world) {
    CloseMiniGameLink(*m_world, kMiniGame6PuzzleIndex, false);
    OpenExit(*m_world, kGateScene, 26);
    OpenExit(*m_world, kGateScene, 27);
    OpenGate();
  }
  m_skipRequested = false;
  StartClosing();
  PlaySound(m_sounds, "gate_open");
}

void CMiniGame6::OpenGate() {
  CPlaceChanges gate(*m_world, m_shared.layouts, kGateScene, false);
  gate.Show("root/Gate_close", false);
  gate.Show("root/Gate_open", true);
  gate.RestartAnimation("root/Gate_open");
  gate.Show("root/ShadowGate_close", false);
  gate.Show("root/BranchesDummy", true);
}

// After a wheel's own picture, its glow at the same angle, as strong as the wheel is on.
void CMiniGame6::DrawGearGlow(const Ombrel::SLayoutItem& item) {
  for (const SGear& gear : m_gears) {
    if (gear.node != &item || !m_gearActivatedTexture || item.kind != Ombrel::kLayoutSprite) continue;
    Ombrel::SLayoutSprite glow = static_cast<const Ombrel::SLayoutSprite&>(item);
    glow.texture = m_gearActivatedTexture;
    DrawNode(glow, m_drawAlpha * gear.turn);
  }
}

void CMiniGame6::Render() {
  if (!BeginRender(m_drawAlpha)) return;
  for (SGear& gear : m_gears)
    if (gear.node) gear.node->angle = gear.turn * kMiniGame6Pi;
  DrawLayout(m_drawAlpha, [this](const Ombrel::SLayoutItem& item) { DrawGearGlow(item); });
}

}  // namespace Vey
