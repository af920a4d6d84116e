// The pipes puzzle: binding the layout, the frame's steps, the player's clicks, the drawing
// and the completion. The board's rules are in Vey_MiniGame7Board.cpp, its saved block in
// Vey_MiniGame7Save.cpp.

#include "Src/MiniGames/Vey_MiniGame7.h"

#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/omLayout2D.h"
#include "Quor/ReportError.h"
#include "Platform/PlatformTestDriver.h"
#include "Quor/Utils.h"
#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"
#include "Src/Investigation/Vey_Player.h"
#include "Quor/RenderStates.h"
#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Scene/omSpriteData.h"
#include "Src/Location/Vey_MiniGameWorld.h"
#include "Src/MiniGames/Vey_PuzzleDrawing.h"

#include <cstdio>
#include <ctime>
#include <string>

namespace Vey {

namespace {

constexpr const char* kVeyMiniGame7Source = "Vey_MiniGame7";
constexpr int32_t kMiniGame7PuzzleIndex = 6;
constexpr float kMiniGame7Full = 0.99f;
constexpr float kAtRest = 0.9999f;           // drain and reservoir count as done from here
constexpr float kReservoirRise = 0.16f;      // layout units the reservoir's liquid rises when full
constexpr float kReservoirFillRate = 0.1f;   // per second, at rest
constexpr float kReservoirUseRate = 0.045f;  // per second, while the liquid runs or drains
constexpr float kDrainRate = 0.5f;           // per second
constexpr float kWinDelay = 1.0f;

// The fewest objects a layout with the board holds: five fixed ones, each cell's piece and liquid place.
constexpr uint32_t kBoardEntries = 5 + 2 * kPipeCellCount;

constexpr const char* kFlowTemplateNames[kPipeTemplateCount] = {
    "root/Straight Pipe/Straight Pipe1", "root/Corner Pipe/Corner Pipe1", "root/Corner Pipe2/Corner Pipe2",
    "root/3way Pipe1/3way Pipe1",        "root/3way Pipe3/3way Pipe3",    "root/3way Pipe2/3way Pipe7",
    "root/Cross Pipe/Cross Pipe1"};
constexpr int32_t kCrossTemplate = 6;


Ombrel::SLayoutAnimatedSprite* AsAnimation(Ombrel::SLayoutBox* box) {
  return box && box->kind == Ombrel::kLayoutAnimatedSprite ? static_cast<Ombrel::SLayoutAnimatedSprite*>(box)
                                                           : nullptr;
}

void StartAnimation(Ombrel::SLayoutAnimatedSprite* node) {
  Ombrel::CTextureAnimation* animation = node ? node->animation : nullptr;
  if (!animation || animation->IsPlaying()) return;
  animation->SetProgress(0.0f);
  animation->Play();
}

}  // namespace

// By the name's last character but one.
int32_t PipeKindFromName(const std::string& name) {
  if (name.size() < 2) return kPipeStraight;
  switch (name[name.size() - 2]) {
    case 'L':
      return kPipeCorner;
    case 'T':
      return kPipeThreeWay;
    case 'X':
      return kPipeCross;
    default:
      return kPipeStraight;
  }
}

uint32_t CMiniGame7::TimeSeed() {
  uint32_t seed = 0;
  return PlatformTestDriverSeed(&seed) ? seed : uint32_t(std::time(nullptr));
}

CMiniGame7::CMiniGame7(Ombrel::CLayout2D* layout, const SMiniGameShared& shared,
                       const std::array<CEmitterPool*, 4>& leakPools, uint32_t seed)
    : CMiniGameBase("MiniGame7", kMiniGame7PuzzleIndex, layout, shared), m_leakPools(leakPools) {
  m_random = std::make_unique<CRandom>(seed);  // the puzzle's draws repeat from a given seed
  BindLayout();
  m_boardBound = BindCells();
  for (SPipeCell& cell : m_cells) {
    cell.rotation = int32_t(m_random->Next() % 4);
    cell.startAngle = cell.angle = RestAngle(cell.rotation);
  }
  BuildNeighbours();
  m_playable = true;
  LoadFromProfile();
  StoreToProfile();
}

CMiniGame7::~CMiniGame7() = default;

void CMiniGame7::BindLayout() {
  m_background = FindNode("root/Background");
  m_button = FindNode("root/Button");
  m_buttonPressed = FindNode("root/ButtonPressed");
  m_buttonDummy = FindNode("root/ButtonDummy");
  m_lampLight = FindNode("root/LampLightON");
  m_reservoirNode = FindAnimation("root/Blood");
  for (Ombrel::SLayoutBox* node : {m_button, m_buttonPressed, static_cast<Ombrel::SLayoutBox*>(m_reservoirNode),
                                   FindNode("root/Control")})
    if (node) node->visible = false;
  StartAnimation(m_reservoirNode);
  for (int32_t i = 0; i < kPipeTemplateCount; ++i) {
    m_flowTemplates[size_t(i)] = FindAnimation(kFlowTemplateNames[i]);
    m_loopTemplates[size_t(i)] = FindAnimation(std::string(kFlowTemplateNames[i]) + "Loop");
  }
}

// Cell i's piece is "root/Pipes/PipeNN" and its liquid place "root/Water/WaterNNK1", K the
// piece's kind (NN: i in two digits). Found by name, the board holds wherever the layout puts
// them; a layout with fewer objects than the board needs, or without a cell's piece or liquid
// place, leaves the board unbound (reported).
bool CMiniGame7::BindCells() {
  const uint32_t count = m_layout ? m_layout->GetCount() : 0;
  if (count < kBoardEntries) {
    HM_REPORT(kVeyMiniGame7Source, "The pipes puzzle's layout holds %u objects, the board needs %u", count,
              kBoardEntries);
    return false;
  }
  for (int32_t i = 0; i < kPipeCellCount; ++i) {
    SPipeCell& cell = m_cells[size_t(i)];
    char number[8];
    std::snprintf(number, sizeof number, "%02d", i);
    const Ombrel::SLayoutItem* water = FindWaterPlace(number);
    cell.pipeNode = FindNode((std::string("root/Pipes/Pipe") + number).c_str());
    cell.waterNode = water ? FindNode(water->name.c_str()) : nullptr;
    if (!cell.pipeNode || !cell.waterNode) {
      HM_REPORT(kVeyMiniGame7Source, "The pipes puzzle's layout has no piece or liquid place for cell %d", i);
      return false;
    }
    cell.kind = PipeKindFromName(water->name);
    cell.flowTemplate = cell.loopTemplate = m_flowTemplates[kCrossTemplate];
    cell.waterNode->visible = false;
  }
  return true;
}

// The layout's "root/Water/WaterNN" object with the kind and its digit after the number.
const Ombrel::SLayoutItem* CMiniGame7::FindWaterPlace(const char* number) const {
  const std::string prefix = std::string("root/Water/Water") + number;
  for (uint32_t k = 0; k < m_layout->GetCount(); ++k) {
    const Ombrel::SLayoutItem* item = m_layout->GetItem(k);
    if (item && item->name.size() == prefix.size() + 2 && item->name.compare(0, prefix.size(), prefix) == 0)
      return item;
  }
  return nullptr;
}

Ombrel::SLayoutAnimatedSprite* CMiniGame7::FindAnimation(const std::string& path) const {
  Ombrel::SLayoutBox* node = FindNode(path.c_str());  // a missing one is reported there
  Ombrel::SLayoutAnimatedSprite* animation = AsAnimation(node);
  if (node && !animation)
    HM_REPORT(kVeyMiniGame7Source, "The pipes puzzle's \"%s\" is no texture animation", path.c_str());
  return animation;
}

bool CMiniGame7::IsMouseOverButton() const { return IsMouseOver(m_buttonDummy); }

int32_t CMiniGame7::CellUnderMouse() const {
  if (!m_boardBound) return kNoNeighbour;
  for (int32_t i = 0; i < kPipeCellCount; ++i)
    if (IsMouseOver(m_cells[size_t(i)].pipeNode)) return i;
  return kNoNeighbour;
}

void CMiniGame7::FadeOwnEffects(float alpha) {
  for (CEmitterPool* pool : m_leakPools)
    if (pool) pool->SetAlpha(alpha);
}

// The cursor as every puzzle chooses it, but showing the hand over a piece that can turn and
// over the button once the reservoir is full, while the board is at rest.
void CMiniGame7::UpdatePipeCursor() {
  const bool atRest = !m_waterRunning && m_drain >= kAtRest;
  const bool interactive = atRest && (CellUnderMouse() >= 0 || (IsMouseOverButton() && m_reservoir >= kAtRest));
  UpdateCursor(PickObject(), interactive);
}

void CMiniGame7::Update(float dt) {
  if (!BeginUpdate(dt)) return;
  UpdatePipeCursor();
  if (AdvanceFade(dt) == kClosedNow) StopSound(m_sounds, "pipe_loop");
  if (m_state == kPlaying) UpdatePlaying(dt);
}

void CMiniGame7::UpdateReservoir(float dt) {
  if (!m_waterRunning && m_drain >= kAtRest) {
    m_reservoir += kReservoirFillRate * dt;
  } else if (!m_waterRunning) {
    m_drain = FloatClamp(m_drain + kDrainRate * dt, 0.0f, 1.0f);
    if (m_drain >= kAtRest) {
      EmptyAllCells();
      for (CEmitterPool* pool : m_leakPools)
        if (pool) pool->StopAll();
    }
    m_reservoir -= kReservoirUseRate * dt;
  } else {
    m_reservoir -= kReservoirUseRate * dt;
  }
  m_reservoir = FloatClamp(m_reservoir, 0.0f, 1.0f);
}

void CMiniGame7::UpdatePlaying(float dt) {
  for (CEmitterPool* pool : m_leakPools)
    if (pool) pool->Update(dt);
  ShowIntroOnce("G07_1_Dialog", SavedIntroByte());
  if (m_pressed && IsMouseOverSkipButton()) m_skipRequested = true;
  if (m_reservoirNode && m_reservoirNode->animation) m_reservoirNode->animation->Update(dt);
  UpdateReservoir(dt);
  if (m_boardBound) UpdateCells(dt);
  if (m_winTimer > 0.0f) {
    m_winTimer += dt;
    if (m_winTimer > kWinDelay) {
      StartClosing();
      PlaySound(m_sounds, "door_in_open");
    }
    return;
  }
  if (IsPuzzleClick()) HandleClick();
  if ((IsSolved() || m_skipRequested) && !IsAnyCellTurning() && !IsAnyCellFilling()) {
    Complete();
    m_winTimer += dt;
  }
}

void CMiniGame7::HandleClick() {
  if (IsMouseOverExit()) StartClosing();
  const bool atRest = !m_waterRunning && m_drain >= kAtRest;
  const int32_t hovered = CellUnderMouse();
  if (atRest && hovered >= 0 && !IsAnyCellTurning() && !m_cells[size_t(hovered)].filled) {
    PlaySound(m_sounds, ("g7_pipe" + std::to_string(RandomInRange(*m_random, 1, 4))).c_str());
    TurnCell(hovered);
    StoreRotation(hovered);
  }
  if (m_boardBound && IsMouseOverButton() && m_reservoir >= kAtRest && m_drain >= kAtRest) {
    m_waterRunning = true;
    PlaySound(m_sounds, "g7_waterstart");
    PlaySound(m_sounds, "pipe_loop");
  }
}

void CMiniGame7::Complete() {
  PlaySound(m_sounds, "g7_in");
  HideSkipButton();
  SetMapMarker(m_player, "root/Scene33/Game4", false);
  if (!m_world) return;
  CloseLinks(m_world->Scene(25).miniGames, kMiniGame7PuzzleIndex, false);
  OpenLocationDoor();
  OpenExitsIn(m_world->Scene(25), 31, false);
}

void CMiniGame7::OpenLocationDoor() {
  CPlaceChanges door(*m_world, m_shared.layouts, kDoorLocation, false);
  door.Show("root/Opendoor", true);
  door.Show("root/Light", false);
  door.Show("root/OpenDoorLight", true);
}

}  // namespace Vey

namespace Vey {

// Drawing. The liquid fades out over the second half of the drain; the leak effects show
// while it fades and once the board is at rest again, not while the liquid runs.
void CMiniGame7::Render() {
  float alpha = 0.0f;
  if (!BeginRender(alpha)) return;
  DrawTurned(m_background, alpha);
  RenderReservoir();
  const bool flowing = m_waterRunning || m_drain < kAtRest;
  DrawTurned(flowing ? m_buttonPressed : m_button, alpha);
  const bool fading = m_drain >= 0.5f && m_drain < kAtRest;
  const float liquidAlpha = fading ? 1.0f - 2.0f * (m_drain - 0.5f) : 1.0f;
  if (m_boardBound) RenderCells(alpha, liquidAlpha);
  if (m_winTimer != 0.0f) DrawTurned(m_lampLight, alpha);
  const float leakAlpha = fading ? liquidAlpha : (m_waterRunning ? 0.0f : 1.0f);
  for (CEmitterPool* pool : m_leakPools) {
    if (!pool) continue;
    pool->SetAlpha(leakAlpha);
    pool->Render();
  }
}

void CMiniGame7::RenderReservoir() {
  if (!m_reservoirNode || !m_reservoirNode->animation) return;
  const Vector2 raised{m_reservoirNode->position.x, m_reservoirNode->position.y + m_reservoir * kReservoirRise};
  DrawPicture(*m_reservoirNode, raised, m_reservoirNode->size, 1.0f, 0.0f, m_reservoirNode->scale);
}

void CMiniGame7::RenderCells(float alpha, float liquidAlpha) {
  for (const SPipeCell& cell : m_cells) {
    const bool full = cell.fill >= kMiniGame7Full;
    const bool holdsLiquid = full || cell.waterNode->visible;
    if (!holdsLiquid) {
      if (cell.pipeNode->visible) DrawTurned(cell.pipeNode, alpha, cell.angle);
      continue;
    }
    if (liquidAlpha < kAtRest) DrawTurned(cell.pipeNode, alpha, cell.angle);
    RenderLiquid(cell, full ? cell.loopTemplate : cell.flowTemplate, full ? cell.loopTime : cell.fill,
                 liquidAlpha * alpha);
  }
}

void CMiniGame7::RenderLiquid(const SPipeCell& cell, Ombrel::SLayoutAnimatedSprite* animation, float progress,
                              float alpha) {
  if (!animation || !animation->animation) return;
  animation->animation->SetProgress(progress);
  DrawPicture(*animation, cell.waterNode->position, cell.waterNode->size, alpha, RestAngle(cell.flowOrientation),
              animation->scale);
}

void CMiniGame7::DrawTurned(const Ombrel::SLayoutBox* picture, float alpha, float angle) {
  if (picture) DrawPicture(*picture, picture->position, picture->size, alpha, angle, Vector2{1.0f, 1.0f});
}

// The liquid's animations are drawn turned; their back faces must show as well.
void CMiniGame7::DrawPicture(const Ombrel::SLayoutBox& picture, const Vector2& place, const Vector2& size, float alpha,
                             float angle, const Vector2& scale) {
  SPieceLook look = PictureLook(picture, ToVirtualScreen(place), picture.colour, FadeByte(alpha), angle);
  look.size = {size.x * kLayoutUnit, size.y * kLayoutUnit};
  look.scale = scale;
  const bool culling = IsCullingOn();
  CullOff();
  DrawPiece(*m_sprite, picture, look);
  if (culling) CullOn();
}

}  // namespace Vey
