#include "Src/MiniGames/Vey_MiniGame4.h"
#include "Src/MiniGames/Vey_MiniGame4Neighbours.h"

#include "Framework/omLayout2D.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_SceneScreens.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/Location/Vey_MiniGameWorld.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace Vey {

namespace {

constexpr const char* kVeyMiniGame4Source = "Src/MiniGames/Vey_MiniGame4";
constexpr float kTwoPi = 6.2831855f;
static_assert(CMiniGame4::kRegionCount == kMosaicPieceCount, "one region a piece of the mosaic");

struct SPaint {
  const char* pot;
  RGBA tint;           // 128 is full intensity
  const char* cursor;  // the window cursor's file
};
const SPaint kPaints[CMiniGame4::kPaintCount] = {
    {"root/RedDummy", 0x80600000u, "VFS//Cursors//cursor_01.cur"},
    {"root/BlueDummy", 0x80000060u, "VFS//Cursors//cursor_03.cur"},
    {"root/GreenDummy", 0x80006000u, "VFS//Cursors//cursor_02.cur"},
    {"root/YellowDummy", 0x80606000u, "VFS//Cursors//cursor_04.cur"},
};

// The puzzle's saved block: the intro byte (the first byte of its first word), the paint in
// hand, then one paint a piece.
uint8_t& IntroByte(SMiniGameBlock& block) { return *reinterpret_cast<uint8_t*>(&block.words124[0]); }
uint32_t& SelectedWord(SMiniGameBlock& block) { return block.words124[1]; }
uint32_t& RegionWord(SMiniGameBlock& block, int32_t region) { return block.words124[2 + region]; }

bool IsPaint(uint32_t colour) { return colour <= CMiniGame4::kNoPaint; }

std::string RegionNodeName(int32_t region) { return "root/" + std::to_string(region + 1); }

}  // namespace

CMiniGame4::CMiniGame4(Ombrel::CLayout2D* layout, const SMiniGameShared& shared)
    : CMiniGameBase("MiniGame4", kIndex, layout, shared) {
  for (int32_t k = 0; k < kRegionCount; ++k) {
    m_regionNodes[size_t(k)] = FindNode(RegionNodeName(k).c_str());
    const auto* sprite = dynamic_cast<const Ombrel::SLayoutSprite*>(m_regionNodes[size_t(k)]);
    m_masks[size_t(k)] =
        std::make_unique<CTextureMask>(std::to_string(k + 1).c_str(), sprite ? sprite->texture : nullptr);
  }
  for (int32_t k = 0; k < kRegionCount; ++k) {
    for (int32_t neighbour : kMosaicNeighbours[k])
      m_regions[size_t(k)].neighbours.push_back(&m_regions[size_t(neighbour - 1)].colour);
  }
  for (int32_t paint = 0; paint < kPaintCount; ++paint) {
    m_pots[size_t(paint)] = FindNode(kPaints[paint].pot);
    if (m_cursor) m_colourCursors[size_t(paint)] = m_cursor->LoadSystemCursor(kPaints[paint].cursor);
  }
  m_playable = true;
  LoadFromProfile();
}

CMiniGame4::~CMiniGame4() = default;

void CMiniGame4::Enter() {
  LoadFromProfile();
  CMiniGameBase::Enter();
}

void CMiniGame4::LoadFromProfile() {
  SMiniGameBlock& block = SavedBlock();
  bool whole = IsPaint(SelectedWord(block));
  for (int32_t k = 0; k < kRegionCount; ++k) whole = whole && IsPaint(RegionWord(block, k));
  if (!whole) {
    HM_REPORT(kVeyMiniGame4Source,
              "The paint puzzle's saved block holds a paint that does not exist; the picture starts afresh");
    SelectedWord(block) = kNoPaint;
    for (int32_t k = 0; k < kRegionCount; ++k) RegionWord(block, k) = kNoPaint;
  }
  m_introShown = IntroByte(block) != 0;
  for (int32_t k = 0; k < kRegionCount; ++k) PaintRegion(k, RegionWord(block, k));
  m_selectedColour = SelectedWord(block);
}

bool CMiniGame4::AllRegionsPainted() const {
  return std::none_of(m_regions.begin(), m_regions.end(), [](const SRegion& r) { return r.colour == kNoPaint; });
}

// ---- update ----

void CMiniGame4::Update(float dt) {
  if (!BeginUpdate(dt)) return;
  m_frameTime = dt;
  ChooseCursor(IsMouseOverExit());
  if (AdvanceFade(dt) != kNoFade || m_state != kPlaying) return;
  ShowIntroOnce("G04_1_Dialog", IntroByte(SavedBlock()));
  if (m_pressed && IsMouseOverSkipButton()) m_skipRequested = true;
  if (IsPuzzleClick()) {
    if (TakePaintOrLeave()) return;
    if (m_selectedColour != kNoPaint) PaintRegionAtMouse();
  }
  if (AllRegionsPainted() || m_skipRequested) Win();
}

bool CMiniGame4::TakePaintOrLeave() {
  for (int32_t paint = 0; paint < kPaintCount; ++paint) {
    if (IsMouseOver(m_pots[size_t(paint)])) {
      SelectColour(uint32_t(paint));
      return true;
    }
  }
  if (!IsMouseOverExit()) return false;
  SelectColour(kNoPaint);
  if (m_cursor) m_cursor->SetType(CCursor::kStandard);
  StartClosing();
  return true;
}

void CMiniGame4::SelectColour(uint32_t colour) {
  m_selectedColour = colour;
  SelectedWord(SavedBlock()) = colour;
}

int32_t CMiniGame4::RegionAtMouse() const {
  for (int32_t k = 0; k < kRegionCount; ++k) {
    const Ombrel::SLayoutBox* node = m_regionNodes[size_t(k)];
    if (!IsMouseOver(node)) continue;
    const Vector2 centre = ToVirtualScreen(node->position),
                  size{node->size.x * kLayoutUnit, node->size.y * kLayoutUnit};
    if (m_masks[size_t(k)]->HitTest(m_mouse, centre, size)) return k;
  }
  return -1;
}

void CMiniGame4::PaintRegionAtMouse() {
  const int32_t region = RegionAtMouse();
  if (region < 0) {
    PlaySound(m_sounds, "paint_bad");
    return;
  }
  const SRegion& hit = m_regions[size_t(region)];
  const bool clash = std::any_of(hit.neighbours.begin(), hit.neighbours.end(),
                                 [this](const uint32_t* colour) { return *colour == m_selectedColour; });
  if (clash) {
    ShowNote(m_player, "G04_WrongColor_Note");
    PlaySound(m_sounds, "paint_bad");
    return;
  }
  if (hit.colour == m_selectedColour) return;
  PlaySound(m_sounds, ("paint" + std::to_string(RandomInRange(*m_random, 1, 4))).c_str());
  PaintRegion(region, m_selectedColour);
  RegionWord(SavedBlock(), region) = m_selectedColour;
}

// An unpainted piece is hidden: the background shows the bare mosaic.
void CMiniGame4::PaintRegion(int32_t region, uint32_t colour) {
  m_regions[size_t(region)].colour = colour;
  Ombrel::SLayoutBox* node = m_regionNodes[size_t(region)];
  if (!node) return;
  node->visible = colour != kNoPaint;
  if (colour < uint32_t(kPaintCount)) node->colour = kPaints[colour].tint;
}

// ---- the cursor ----

// With a paint in hand the cursor is that paint's brush, but over the heads-up display and
// the exit, where the cursor set chooses as in every puzzle.
void CMiniGame4::ChooseCursor(bool overExit) {
  const bool overHud = m_player && m_player->IsMouseOverHud();
  if (m_selectedColour == kNoPaint || overHud || overExit || (m_cursor && m_cursor->IsHeld())) {
    UpdatePointer();
    return;
  }
  ShowColourCursor();
}

void CMiniGame4::ShowColourCursor() {
  if (!m_cursor || m_selectedColour >= uint32_t(kPaintCount)) return;
  const std::string name = "root/cursor_0" + std::to_string(m_selectedColour + 1);
  const auto* brush = dynamic_cast<const Ombrel::SLayoutSprite*>(m_layout ? m_layout->FindItem(name.c_str()) : nullptr);
  m_cursor->ShowCustom(brush ? brush->texture : nullptr, m_colourCursors[m_selectedColour]);
}

// ---- the win ----

void CMiniGame4::Win() {
  PlaySound(m_sounds, "puzzlesolved");
  HideSkipButton();
  SetMapMarker(m_player, "root/Scene11/Game1", false);
  SetMapMarker(m_player, "root/Scene11/PointOfInterest14", true);
  if (m_cursor) m_cursor->SetType(CCursor::kStandard);
  SelectColour(kNoPaint);
  if (m_world) {
    CloseLinks(m_world->CloseUp(kCloseUp).miniGames, kIndex, true, "I05_Ring1");
  }
  OpenCloseUpBox();
  StartClosing();
}

void CMiniGame4::OpenCloseUpBox() {
  if (!m_world) return;
  CPlaceChanges closeUp(*m_world, m_shared.layouts, kCloseUp, true);
  struct SChange {
    const char* node;
    bool visible;
  };
  static const SChange kChanges[] = {
      {"root/Box_open", true},        {"root/CarKeys", true},         {"root/Gear", true},
      {"root/Keys foreground", true}, {"root/Gear foreground", true}, {"root/brokenstamp_01", false},
      {"root/brokenstamp_02", false}, {"root/brokenstamp_03", false},
  };
  for (const SChange& change : kChanges) {
    if (!closeUp.Show(change.node, change.visible))
      HM_REPORT(kVeyMiniGame4Source, "The close-up's layout has no \"%s\" for the opened box", change.node);
  }
}

// ---- drawing ----

void CMiniGame4::Render() {
  float alpha = 0.0f;
  if (!BeginRender(alpha) || !m_layout) return;
  int32_t shining = 0;
  for (uint32_t i = 0; i < m_layout->GetCount(); ++i) {
    const auto* node = dynamic_cast<const Ombrel::SLayoutBox*>(m_layout->GetItem(i));
    if (node && node->visible) RenderShining(*node, alpha, shining);
  }
}

// A picture of the puzzle's shining list glimmers on a phase of its own (one of the ten random
// values, so at most ten glimmer); any other is drawn at the fade.
void CMiniGame4::RenderShining(const Ombrel::SLayoutBox& node, float alpha, int32_t& shining) {
  const std::vector<std::string>* list = m_world ? &m_world->MiniGame(uint32_t(kIndex)).shiningObjects : nullptr;
  const bool shines = list && shining < 10 && std::find(list->begin(), list->end(), node.name) != list->end();
  if (!shines) {
    DrawNode(node, alpha);
    return;
  }
  float& phase = m_randomValues[shining++];
  phase += 0.15f * m_frameTime;
  if (phase >= 1.0f) phase -= 1.0f;
  const float q = kTwoPi * phase;
  const float wave = 0.3f * std::sin(10.0f * q) + 0.5f * std::sin(3.0f * q) + 0.2f * std::sin(30.0f * q);
  DrawNode(node, float(int(96.0f + 32.0f * alpha * wave)) / 128.0f);
}

}  // namespace Vey
