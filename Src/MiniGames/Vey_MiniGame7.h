#pragma once
// The pipes puzzle: a board of 59 pipe pieces in an irregular grid. A click turns a piece a
// quarter turn; once the reservoir has filled, the button lets the liquid in at the left of
// cell 25. The liquid runs into every piece joined to a full neighbour; a piece that fills with
// an opening leading nowhere leaks and the flow stops, after which the board drains and empties.
// The board is solved when every piece is full and cell 23 stands at rotation 1 (its top side
// is the outlet); solving it opens a door of the location behind the puzzle.

#include "Src/MiniGames/Vey_MiniGameBase.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace Ombrel {
class CLayout2D;
struct SLayoutBox;
struct SLayoutItem;
struct SLayoutAnimatedSprite;
}  // namespace Ombrel


namespace Vey {

class CEmitterPool;

enum PipeKind : int32_t { kPipeStraight = 0, kPipeCorner = 1, kPipeThreeWay = 2, kPipeCross = 3 };

// Sides of a cell, and what a neighbour entry holds besides a cell index.
enum EPipeSide : int32_t { kSideUp = 0, kSideRight = 1, kSideDown = 2, kSideLeft = 3 };
constexpr int32_t kNoNeighbour = -1;
constexpr int32_t kLiquidSource = -2;

constexpr int32_t kPipeCellCount = 59;
constexpr int32_t kPipeTemplateCount = 7;
constexpr int32_t kSourceCell = 25;
constexpr int32_t kOutletCell = 23;

struct SPipeCell {
  Ombrel::SLayoutBox* pipeNode = nullptr;
  Ombrel::SLayoutBox* waterNode = nullptr;  // visible while the cell holds liquid
  Ombrel::SLayoutAnimatedSprite* flowTemplate = nullptr;
  Ombrel::SLayoutAnimatedSprite* loopTemplate = nullptr;
  int32_t flowOrientation = 0;  // quarter turns of the liquid's animation
  float fill = 0.0f;            // 0..0.99
  float loopTime = 0.0f;        // 0..0.99
  int32_t kind = kPipeStraight;
  float startAngle = 0.0f;  // where the current quarter turn began
  float angle = 0.0f;       // as drawn
  bool filled = false;
  int32_t rotation = 0;  // quarter turns, 0..3
  int32_t neighbours[4] = {kNoNeighbour, kNoNeighbour, kNoNeighbour, kNoNeighbour};
};

// The liquid animation a cell fills with and how far it is turned.
struct SFlowChoice {
  int32_t templateIndex;
  int32_t orientation;
};

// The angle a piece rests at after `rotation` quarter turns (the negative way).
float RestAngle(int32_t rotation);
// The board's cell at a row (from the top) and column, kNoNeighbour off the board.
int32_t PipeCellAt(int32_t row, int32_t column);
constexpr int32_t kPipeRowCount = 8;
// Whether a piece of the kind turned `rotation` quarter turns is open on the side.
bool IsPipeOpen(int32_t kind, int32_t rotation, int32_t side);
// The piece a liquid place's name gives ("root/Water/Water01T1": a three-way piece).
int32_t PipeKindFromName(const std::string& name);

class CMiniGame7 : public CMiniGameBase {
 public:
  static constexpr uint32_t kDoorLocation = 30;  // "Scene31", whose door the completion opens

  // layout: the puzzle's ("Game07"). leakPools: one pool per side (up, right, down, left).
  // The completion opens the door of the location behind the puzzle through the shared layout
  // shelf. seed: of the puzzle's random source, which turns the starting board and picks the
  // turning sounds (the time in seconds unless a test gives one).
  CMiniGame7(Ombrel::CLayout2D* layout, const SMiniGameShared& shared, const std::array<CEmitterPool*, 4>& leakPools,
             uint32_t seed = TimeSeed());
  ~CMiniGame7() override;

  void Reset() override {}
  void Update(float dt) override;
  void Render() override;

  bool IsOpen(int32_t cell, int32_t side) const;
  // The full neighbour that feeds the cell, or -1.
  int32_t FindFeeder(int32_t cell) const;
  SFlowChoice ChooseFlowTemplate(int32_t cell, int32_t feeder) const;
  // True when the full cell has an open end (the outlet too); leaks play their sound and effect.
  bool CheckLeaks(int32_t cell);
  void UpdateCells(float dt);
  void EmptyAllCells();
  bool IsAnyCellTurning() const;
  bool IsAnyCellFilling() const;
  bool IsSolved() const;
  bool IsMouseOverButton() const;
  // The first cell whose piece lies under the mouse, or -1.
  int32_t CellUnderMouse() const;
  void LoadFromProfile();
  void StoreToProfile();

  const SPipeCell& GetCell(int32_t cell) const { return m_cells[size_t(cell)]; }
  bool IsWaterRunning() const { return m_waterRunning; }
  float GetReservoir() const { return m_reservoir; }
  float GetDrain() const { return m_drain; }
  // False when the layout lacks the board's objects: the puzzle then only lets the player leave.
  bool IsBoardBound() const { return m_boardBound; }

  static uint32_t TimeSeed();

 private:
  void BindLayout();
  bool BindCells();
  const Ombrel::SLayoutItem* FindWaterPlace(const char* number) const;
  Ombrel::SLayoutAnimatedSprite* FindAnimation(const std::string& path) const;
  uint32_t* SavedWords() const;
  uint8_t& SavedIntroByte() const;
  void StoreRotation(int32_t cell);
  void BuildNeighbours();
  void StartFilling(int32_t cell, SFlowChoice choice);
  void StopFlow();
  void TurnCell(int32_t cell);
  void UpdateTurning(SPipeCell& cell, float dt);
  void UpdateSpreading(int32_t cell);
  void UpdateReservoir(float dt);
  void UpdatePipeCursor();
  void UpdatePlaying(float dt);
  void HandleClick();
  void Complete();
  void OpenLocationDoor();
  void FadeOwnEffects(float alpha) override;
  void StartLeak(int32_t side, const Vector2& emitterPosition);
  void RenderReservoir();
  void RenderCells(float alpha, float liquidAlpha);
  void RenderLiquid(const SPipeCell& cell, Ombrel::SLayoutAnimatedSprite* animation, float progress, float alpha);
  // A layout picture (or its animation's current frame) at a place and size of the layout,
  // turned by the angle and grown by the scale.
  void DrawPicture(const Ombrel::SLayoutBox& picture, const Vector2& place, const Vector2& size, float alpha,
                   float angle, const Vector2& scale);
  void DrawTurned(const Ombrel::SLayoutBox* picture, float alpha, float angle = 0.0f);

  Ombrel::SLayoutBox* m_background = nullptr;
  Ombrel::SLayoutBox* m_button = nullptr;
  Ombrel::SLayoutBox* m_buttonPressed = nullptr;
  Ombrel::SLayoutBox* m_buttonDummy = nullptr;
  Ombrel::SLayoutBox* m_lampLight = nullptr;
  Ombrel::SLayoutAnimatedSprite* m_reservoirNode = nullptr;
  std::array<Ombrel::SLayoutAnimatedSprite*, kPipeTemplateCount> m_flowTemplates{};
  std::array<Ombrel::SLayoutAnimatedSprite*, kPipeTemplateCount> m_loopTemplates{};
  std::array<SPipeCell, kPipeCellCount> m_cells{};
  bool m_boardBound = false;
  bool m_waterRunning = false;
  float m_reservoir = 0.0f;
  float m_drain = 1.0f;
  std::array<CEmitterPool*, 4> m_leakPools;
};

}  // namespace Vey
