#include "Src/MiniGames/Vey_MiniGame5.h"

#include "Framework/omLayout2D.h"
#include "Quor/Utils.h"
#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/Location/Vey_MiniGameWorld.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace Vey {

namespace {

constexpr int32_t kMiniGame5PuzzleIndex = 4;
constexpr size_t kMiniGame5BlockSize = 40;
constexpr size_t kMiniGame5IntroByte = 0;
constexpr size_t kMiniGame5WrittenByte = 1;
constexpr size_t kPositionsOffset = 4;
constexpr size_t kGoneOffset = 36;
constexpr uint32_t kSafeScene = 11;    // "Scene12"
constexpr uint32_t kSafeCloseUp = 7;   // "Intermediate08"
constexpr float kRollSpeed = 1.0f;     // layout units a second: 0.02 a frame at 50 frames a second
constexpr float kArrivalDistance = 0.04f;
constexpr float kFallLength = 0.2f;
constexpr float kArrowOffset = 0.14f;
constexpr float kReadyRate = 0.6f;
constexpr float kBallsShownAt = 0.5f;  // of the ready time: the balls fade in with the board
constexpr float kHideWinnerAt = 3.5f;
constexpr float kMiniGame5WinWait = 6.0f;
constexpr float kMiniGame5Pi = 3.1415927f;
constexpr int32_t kWinnerBall = 2;  // ball 3 has an effect of its own when it is the one left

static_assert(offsetof(SMiniGameBlock, byte372) == CMiniGame5::kSavedOffset, "the balls' block");
static_assert(offsetof(SMiniGameBlock, word412) - offsetof(SMiniGameBlock, byte372) >= kMiniGame5BlockSize,
              "the balls' block must not reach into the next puzzle's");

// One step of each direction on the board, in layout units (y up, row 0 at the top).
constexpr Vector2 kDirectionStep[] = {{0.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, -1.0f}, {-1.0f, 0.0f}};
constexpr int32_t kRowStep[] = {-1, 0, 1, 0};
constexpr int32_t kColumnStep[] = {0, 1, 0, -1};
// The arrow's picture points up; turned for the other directions.
constexpr float kArrowAngle[] = {0.0f, -kMiniGame5Pi / 2.0f, kMiniGame5Pi, kMiniGame5Pi / 2.0f};

Vector2 Offset(const Vector2& point, int32_t direction, float length) {
  return {point.x + kDirectionStep[direction].x * length, point.y + kDirectionStep[direction].y * length};
}

bool IsBoardCell(int32_t row, int32_t column) {
  return row >= 0 && row < CMiniGame5::kBoardSide && column >= 0 && column < CMiniGame5::kBoardSide;
}

Vector2 ReadPosition(const uint8_t* block, int32_t b) {
  float xy[2];
  std::memcpy(xy, block + kPositionsOffset + size_t(b) * sizeof(xy), sizeof(xy));
  return {xy[0], xy[1]};
}

void WritePosition(uint8_t* block, int32_t b, const Vector2& position) {
  const float xy[2] = {position.x, position.y};
  std::memcpy(block + kPositionsOffset + size_t(b) * sizeof(xy), xy, sizeof(xy));
}

}  // namespace

CMiniGame5::CMiniGame5(const SMiniGameShared& shared, Ombrel::CLayout2D* layout, const SPools& pools)
    : CMiniGameBase("MiniGame5", kMiniGame5PuzzleIndex, layout, shared), m_pools(pools) {
  char name[32];
  for (int32_t row = 0; row < kBoardSide; ++row) {
    for (int32_t column = 0; column < kBoardSide; ++column) {
      std::snprintf(name, sizeof(name), "root/Dummy%d", 10 * (row + 1) + column + 1);
      const Ombrel::SLayoutBox* cell = FindNode(name);
      // A missing cell lies nowhere a ball can be.
      m_cells[size_t(row * kBoardSide + column)] = cell ? cell->position : Vector2{NAN, NAN};
    }
  }
  for (int32_t b = 0; b < kBallCount; ++b) {
    SBall& ball = m_balls[size_t(b)];
    std::snprintf(name, sizeof(name), "root/Ball%d", b + 1);
    ball.node = FindNode(name);
    if (ball.node) ball.home = ball.target = ball.node->position;
    ball.trail = m_pools.trail ? m_pools.trail->GetEmitter(uint32_t(b)) : nullptr;
    if (ball.trail) ball.trail->SetLoopMode(1);
  }
  m_activeMarker = FindNode("root/BallActive");
  m_arrow = FindNode("root/Direction");
  m_playable = true;
  LoadFromProfile();
  StoreToProfile();
}

CMiniGame5::~CMiniGame5() = default;

// The pools in their drawing order: bursts, trails, hits, appearances.
void CMiniGame5::ForEachPool(void (CEmitterPool::*step)(float), float value) const {
  for (CEmitterPool* pool : {m_pools.explode, m_pools.trail, m_pools.collide, m_pools.appear})
    if (pool) (pool->*step)(value);
}

int32_t CMiniGame5::FindCell(const Vector2& position) const {
  for (size_t i = 0; i < m_cells.size(); ++i)
    if (SamePoint(m_cells[i], position)) return int32_t(i);
  return -1;
}

int32_t CMiniGame5::BallOnCell(const Vector2& cell) const {
  for (int32_t b = 0; b < kBallCount; ++b) {
    const SBall& ball = m_balls[size_t(b)];
    if (ball.node && SamePoint(ball.node->position, cell)) return b;
  }
  return -1;
}

uint8_t* CMiniGame5::Block() const { return BlockBytes(SavedBlock(), kSavedOffset); }

// A saved block is taken only as the puzzle writes it: flags 0 or 1, at most three balls out
// and every ball still in play on a cell of its own. Anything else sets the board up afresh.
void CMiniGame5::LoadFromProfile() {
  uint8_t* block = Block();
  if (block[kMiniGame5WrittenByte] == 0) return;
  bool sound = block[kMiniGame5IntroByte] <= 1 && block[kMiniGame5WrittenByte] == 1;
  int32_t goneCount = 0;
  std::array<int32_t, kBallCount> cells{};
  for (int32_t b = 0; b < kBallCount && sound; ++b) {
    const uint8_t gone = block[kGoneOffset + size_t(b)];
    const Vector2 position = ReadPosition(block, b);
    cells[size_t(b)] = gone ? -1 - b : FindCell(position);
    goneCount += gone;
    sound = gone <= 1 && std::isfinite(position.x) && std::isfinite(position.y) && cells[size_t(b)] != -1;
    for (int32_t other = 0; other < b && sound; ++other) sound = cells[size_t(other)] != cells[size_t(b)];
  }
  if (!sound || goneCount >= kBallCount) {
    std::memset(block, 0, kMiniGame5BlockSize);
    return;
  }
  m_introShown = block[kMiniGame5IntroByte] != 0;
  for (int32_t b = 0; b < kBallCount; ++b) {
    SBall& ball = m_balls[size_t(b)];
    ball.target = ReadPosition(block, b);
    if (ball.node) ball.node->position = ball.target;
    ball.gone = block[kGoneOffset + size_t(b)] != 0;
    if (ball.gone && ball.node) ball.node->visible = false;
  }
}

void CMiniGame5::StoreToProfile() {
  uint8_t* block = Block();
  if (block[kMiniGame5WrittenByte] != 0) return;
  block[kMiniGame5WrittenByte] = 1;
  WritePositions();
}

void CMiniGame5::WritePositions() {
  uint8_t* block = Block();
  for (int32_t b = 0; b < kBallCount; ++b) {
    const SBall& ball = m_balls[size_t(b)];
    if (ball.node) WritePosition(block, b, ball.node->position);
  }
}

void CMiniGame5::Enter() {
  CMiniGameBase::Enter();
  m_readyTime = 0.0f;
  if (m_pools.appear) m_pools.appear->StopAll();
  for (const SBall& ball : m_balls)
    if (ball.node) StartPoolEmitter(m_pools.appear, ball.node->position);
}

void CMiniGame5::StartPoolEmitter(CEmitterPool* pool, const Vector2& at) {
  MP::CEmitter* emitter = pool ? pool->GetFreeEmitter() : nullptr;
  if (!emitter) return;
  emitter->SetPosition(LayoutToParticle(at));
  emitter->Start();
}

void CMiniGame5::Roll(int32_t b, int32_t d, bool pushed) {
  if (b < 0 || b >= kBallCount || d < 0 || d >= kNoDirection) return;
  SBall& ball = m_balls[size_t(b)];
  const int32_t cell = ball.node ? FindCell(ball.node->position) : -1;
  if (cell < 0) return;  // a ball off the board's cells cannot roll
  int32_t row = cell / kBoardSide;
  int32_t column = cell % kBoardSide;
  ball.direction = d;
  while (IsBoardCell(row + kRowStep[d], column + kColumnStep[d])) {
    const int32_t struck = BallOnCell(GetCell(row + kRowStep[d], column + kColumnStep[d]));
    if (struck >= 0) {
      ball.hitBall = struck;
      break;
    }
    row += kRowStep[d];
    column += kColumnStep[d];
  }
  if (ball.hitBall < 0) ball.fate = pushed ? kKnockedOver : kFlungOver;
  const Vector2 stop = GetCell(row, column);
  if (SamePoint(stop, ball.target) && ball.fate != kKnockedOver) {
    ball.hitBall = -1;
    ball.direction = kNoDirection;
    ball.fate = kNoFate;
    return;
  }
  ball.target = stop;
  ball.moving = true;
}

void CMiniGame5::KnockOut(SBall& ball) {
  ball.fate = kFallingKnocked;
  ball.gone = true;
  Block()[kGoneOffset + size_t(&ball - m_balls.data())] = 1;
  ball.moving = true;
  ball.target = Offset(ball.node->position, ball.direction, kFallLength);
}

void CMiniGame5::FallOff(SBall& ball) {
  ball.fate = kFallingFlung;
  ball.moving = true;
  ball.target = Offset(ball.node->position, ball.direction, kFallLength);
  PlaySound(m_sounds, "g5_gone");
}

// The failed fling has rolled off: every ball still shown bursts and the board starts again.
void CMiniGame5::Fail() {
  ShowNote(m_player, "G05_Fail_Note");
  for (const SBall& ball : m_balls)
    if (ball.node && ball.node->visible) StartPoolEmitter(m_pools.explode, ball.node->position);
  ResetBoard();
}

void CMiniGame5::StrikeOn(SBall& ball) {
  Roll(ball.hitBall, ball.direction, true);
  PlaySound(m_sounds, "bub_hit");
  StartPoolEmitter(m_pools.collide, ball.node->position);
  ball.direction = kNoDirection;
  ball.hitBall = -1;
}

void CMiniGame5::Arrive(int32_t b) {
  SBall& ball = m_balls[size_t(b)];
  ball.node->position = ball.target;
  WritePositions();
  ball.moving = false;
  switch (ball.fate) {
    case kKnockedOver:
      KnockOut(ball);
      break;
    case kFlungOver:
      FallOff(ball);
      break;
    case kFallingKnocked:
      ball.node->visible = false;
      StartPoolEmitter(m_pools.explode, ball.node->position);
      break;
    case kFallingFlung:
      Fail();
      break;
    default:
      break;
  }
  if (ball.hitBall != -1) StrikeOn(ball);
  if (ball.fate != kFallingKnocked && ball.fate != kFallingFlung) ball.fate = kNoFate;
}

// Balls roll at a steady speed whatever the frame rate; a step never passes the target, so a
// long frame ends on it and the arrival comes with the next one.
void CMiniGame5::AnimateBalls(float dt) {
  for (int32_t b = 0; b < kBallCount; ++b) {
    SBall& ball = m_balls[size_t(b)];
    if (!ball.node) continue;
    if (!ball.moving) {
      if (ball.trail && ball.trail->GetState() == 1) ball.trail->InterruptEmitter();
      continue;
    }
    if (ball.trail) {
      ball.trail->SetPosition(LayoutToParticle(ball.node->position));
      if (ball.trail->GetState() == 0) ball.trail->Start();
    }
    Vector2 v{ball.target.x - ball.node->position.x, ball.target.y - ball.node->position.y};
    const float distance = std::sqrt(v.x * v.x + v.y * v.y);
    if (distance <= kArrivalDistance) {
      Arrive(b);
      continue;
    }
    const float step = std::fmin(kRollSpeed * dt, distance);
    ball.node->position.x += v.x / distance * step;
    ball.node->position.y += v.y / distance * step;
  }
}

int32_t CMiniGame5::GetAimDirection() const {
  if (m_selected < 0 || !m_balls[size_t(m_selected)].node) return kNoDirection;
  const Ombrel::SLayoutBox& node = *m_balls[size_t(m_selected)].node;
  if (IsMouseOver(&node)) return kNoDirection;
  const SScreenRect rect = GetScreenRect(node);
  Vector2 aim{m_mouse.x - rect.centre.x, m_mouse.y - rect.centre.y};
  Vector2Normalize(&aim);
  // On the virtual screen y grows downwards: up is (0, -1).
  constexpr Vector2 kScreenDirections[] = {{0.0f, -1.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}, {-1.0f, 0.0f}};
  int32_t best = kUp;
  for (int32_t d = kRight; d < kNoDirection; ++d) {
    const float dot = aim.x * kScreenDirections[d].x + aim.y * kScreenDirections[d].y;
    const float bestDot = aim.x * kScreenDirections[best].x + aim.y * kScreenDirections[best].y;
    if (dot > bestDot) best = d;
  }
  return best;
}

int32_t CMiniGame5::PickBall() const {
  for (const SBall& ball : m_balls)
    if (ball.moving) return -1;
  for (int32_t b = 0; b < kBallCount; ++b) {
    const SBall& ball = m_balls[size_t(b)];
    if (ball.node && !ball.gone && SamePoint(ball.node->position, ball.target) && IsMouseOver(ball.node)) return b;
  }
  return -1;
}

bool CMiniGame5::IsSolved() const {
  int32_t gone = 0;
  for (const SBall& ball : m_balls) {
    if (ball.moving) return false;
    gone += ball.gone ? 1 : 0;
  }
  return gone == kBallCount - 1;
}

void CMiniGame5::ResetBoard() {
  m_readyTime = 0.0f;
  uint8_t* block = Block();
  for (int32_t b = 0; b < kBallCount; ++b) {
    SBall& ball = m_balls[size_t(b)];
    ball.target = ball.home;
    ball.hitBall = -1;
    ball.direction = kNoDirection;
    ball.fate = kNoFate;
    ball.gone = false;
    ball.moving = false;
    if (ball.trail && ball.trail->GetState() == 1) ball.trail->InterruptEmitter();
    block[kGoneOffset + size_t(b)] = 0;
    if (!ball.node) continue;
    ball.node->position = ball.home;
    ball.node->visible = true;
    StartPoolEmitter(m_pools.appear, ball.home);
  }
  WritePositions();
}

void CMiniGame5::FadeOwnEffects(float alpha) { ForEachPool(&CEmitterPool::SetAlpha, alpha); }

void CMiniGame5::UpdateArrow() {
  if (m_selected < 0) {
    if (m_activeMarker) m_activeMarker->visible = false;
    if (m_arrow) m_arrow->visible = false;
    return;
  }
  m_arrowDirection = GetAimDirection();
  if (!m_arrow) return;
  m_arrow->visible = m_arrowDirection != kNoDirection;
  const SBall& ball = m_balls[size_t(m_selected)];
  if (m_arrow->visible && ball.node) m_arrow->position = Offset(ball.node->position, m_arrowDirection, kArrowOffset);
}

// A click the heads-up display does not take, while the board is not won.
void CMiniGame5::HandleClick() {
  if (m_readyTime >= 1.0f && m_selected >= 0) {
    const int32_t direction = GetAimDirection();
    Roll(m_selected, direction, false);
    if (direction != kNoDirection) PlaySound(m_sounds, "g5_move");
    m_selected = -1;
    return;
  }
  const int32_t picked = m_readyTime >= 1.0f ? PickBall() : -1;
  if (picked >= 0) {
    m_selected = picked;
    PlaySound(m_sounds, "bub_select");
    if (m_activeMarker) {
      m_activeMarker->position = m_balls[size_t(picked)].node->position;
      m_activeMarker->visible = true;
    }
    return;
  }
  if (IsMouseOverExit())
    StartClosing();
  else
    ShowNote(m_player, "G05_Hint_Note");
}

void CMiniGame5::UpdateWin(float dt) {
  if (IsSolved()) {
    if (m_winTimer <= 0.0001f) {
      const SBall& winner = m_balls[size_t(kWinnerBall)];
      StartGroupEmitter(m_emitters, winner.node && winner.node->visible ? "G05_Complete" : "G05_CompleteB");
      PlaySound(m_sounds, "g5_win");
      m_won = true;
    } else if (m_winTimer >= kHideWinnerAt) {
      Ombrel::SLayoutBox* ball3 = m_balls[size_t(kWinnerBall)].node;
      Ombrel::SLayoutBox* ball1 = m_balls[0].node;
      if (ball3 && ball3->visible)
        ball3->visible = false;
      else if (ball1 && ball1->visible)
        ball1->visible = false;
    }
    m_winTimer += dt;
  }
  if (m_winTimer >= kMiniGame5WinWait || m_skipRequested) Complete();
}

void CMiniGame5::Update(float dt) {
  if (!BeginUpdate(dt)) return;
  UpdatePointer();
  switch (AdvanceFade(dt)) {
    case kOpened:
      PlaySound(m_sounds, "g5_app");
      return;
    case kClosedNow:
      StopSound(m_sounds, "bub_move");
      return;
    default:
      break;
  }
  if (m_state != kPlaying) return;
  if (!m_introShown) {
    ShowIntroOnce("G05_1_Dialog", Block()[kMiniGame5IntroByte]);
    return;
  }
  ForEachPool(&CEmitterPool::Update, dt);
  if (m_pressed && IsMouseOverSkipButton()) m_skipRequested = true;
  if (m_readyTime >= 1.0f) {
    AnimateBalls(dt);
    UpdateArrow();
  }
  if (IsPuzzleClick() && !m_won) {
    HandleClick();
    return;
  }
  if (m_readyTime < 1.0f) m_readyTime += kReadyRate * dt;
  UpdateWin(dt);
}

void CMiniGame5::Complete() {
  HideSkipButton();
  SetMapMarker(m_player, "root/Scene14/Game2", false);
  SetMapMarker(m_player, "root/Scene14/PointOfInterest17", true);
  if (m_world) {
    CloseMiniGameLink(*m_world, kMiniGame5PuzzleIndex, true);
    CPlaceChanges(*m_world, m_shared.layouts, kSafeScene, false).Show("root/SafeOpened", true);
    CPlaceChanges closeUp(*m_world, m_shared.layouts, kSafeCloseUp, true);
    closeUp.Show("root/DiamondHandle", true);
    closeUp.RestartAnimation("root/SafeDoor1");
    RestartObjectAnimation(*m_world, kSafeCloseUp, "I08_Sound");
  }
  m_skipRequested = false;
  StartClosing();
}

// The layout's pictures, but the balls while the board is still fading in (its first half).
void CMiniGame5::Render() {
  float alpha = 0.0f;
  if (!BeginRender(alpha)) return;
  if (m_arrow) m_arrow->angle = m_arrowDirection < kNoDirection ? kArrowAngle[m_arrowDirection] : 0.0f;
  for (uint32_t i = 0; i < m_layout->GetCount(); ++i) {
    const auto* box = dynamic_cast<const Ombrel::SLayoutBox*>(m_layout->GetItem(i));
    if (!box || !box->visible) continue;
    bool isBall = false;
    for (const SBall& ball : m_balls) isBall = isBall || ball.node == box;
    if (!isBall || m_readyTime >= kBallsShownAt) DrawNode(*box, alpha);
  }
  for (CEmitterPool* pool : {m_pools.explode, m_pools.trail, m_pools.collide, m_pools.appear})
    if (pool) pool->Render();
}

}  // namespace Vey
