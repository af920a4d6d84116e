#pragma once
// The balls puzzle (G05): four balls on a 7 x 7 board. The player chooses a ball and flings it
// up, right, down or left; it rolls until it meets another ball, stops in the cell before it
// and pushes that one on the same way; a pushed ball that runs over the edge is knocked out. A
// flung ball that meets nothing rolls off itself, which fails and sets the board up again. One
// ball left solves it, and the safe of the location and its close-up opens.

#include "Src/MiniGames/Vey_MiniGameBase.h"

#include <array>
#include <cstdint>

namespace MP {
class CEmitter;
}

namespace Ombrel {
struct SLayoutBox;
}  // namespace Ombrel

namespace Vey {

class CEmitterPool;

class CMiniGame5 : public CMiniGameBase {
 public:
  // The puzzle's 40 bytes of the saved blocks, from this offset: 0 the intro was shown, 1 the
  // block was written, 4..35 the balls' positions (x, y floats), 36..39 ball 1..4 knocked out.
  static constexpr size_t kSavedOffset = 372;
  static constexpr int32_t kBoardSide = 7;
  static constexpr int32_t kBallCount = 4;

  // Roll directions: towards row 0 (up, +y), column 6 (right, +x), row 6 (down), column 0.
  enum EDirection : int32_t { kUp = 0, kRight = 1, kDown = 2, kLeft = 3, kNoDirection = 4 };
  // What the end of a roll brings.
  enum EFate : int32_t { kNoFate = 0, kKnockedOver = 1, kFlungOver = 2, kFallingKnocked = 3, kFallingFlung = 4 };

  struct SBall {
    Vector2 home;
    Vector2 target;
    int32_t hitBall = -1;
    int32_t direction = kNoDirection;
    int32_t fate = kNoFate;
    bool gone = false;
    bool moving = false;
    Ombrel::SLayoutBox* node = nullptr;  // its position is the ball's drawn position
    MP::CEmitter* trail = nullptr;
  };

  // The four pools in this order: bursts, trails (one per ball), hits, appearances.
  struct SPools {
    CEmitterPool* explode = nullptr;
    CEmitterPool* trail = nullptr;
    CEmitterPool* collide = nullptr;
    CEmitterPool* appear = nullptr;
  };

  // The win opens the safe of location "Scene12" and of close-up "Intermediate08".
  CMiniGame5(const SMiniGameShared& shared, Ombrel::CLayout2D* layout, const SPools& pools);
  ~CMiniGame5() override;

  void Reset() override {}
  void Enter() override;
  void Update(float dt) override;
  void Render() override;

  // Sets up ball b's roll in direction d (pushed: struck by another ball).
  void Roll(int32_t b, int32_t d, bool pushed);
  // Moves the rolling balls by the frame's time and settles those that arrive.
  void AnimateBalls(float dt);
  // The direction from the chosen ball to the mouse, kNoDirection over the ball itself.
  int32_t GetAimDirection() const;
  // The resting ball under the mouse, -1 for none or while a ball rolls.
  int32_t PickBall() const;
  bool IsSolved() const;
  void ResetBoard();
  void Complete();

  const SBall& GetBall(int32_t b) const { return m_balls[size_t(b)]; }
  Vector2 GetCell(int32_t row, int32_t column) const { return m_cells[size_t(row * kBoardSide + column)]; }
  int32_t GetSelected() const { return m_selected; }
  float GetReadyTime() const { return m_readyTime; }
  bool IsWon() const { return m_won; }

 private:
  void LoadFromProfile();
  void StoreToProfile();
  void WritePositions();
  void Arrive(int32_t b);
  void KnockOut(SBall& ball);
  void FallOff(SBall& ball);
  void StrikeOn(SBall& ball);
  void Fail();
  void UpdateArrow();
  void HandleClick();
  void UpdateWin(float dt);
  void FadeOwnEffects(float alpha) override;
  void StartPoolEmitter(CEmitterPool* pool, const Vector2& at);
  int32_t FindCell(const Vector2& position) const;
  int32_t BallOnCell(const Vector2& cell) const;
  uint8_t* Block() const;
  void ForEachPool(void (CEmitterPool::*step)(float), float value) const;

  std::array<Vector2, kBoardSide * kBoardSide> m_cells{};
  std::array<SBall, kBallCount> m_balls;
  int32_t m_selected = -1;
  Ombrel::SLayoutBox* m_activeMarker = nullptr;
  Ombrel::SLayoutBox* m_arrow = nullptr;
  int32_t m_arrowDirection = kNoDirection;
  SPools m_pools;
  float m_readyTime = 0.0f;
  bool m_won = false;
};

}  // namespace Vey
