#pragma once
// The gear-train puzzle (G11): the player sets loose gears on the board's axles until a chain
// of meshed gears carries the driving gear's turning to the lock gear; after about five seconds
// of turning the latch is out and the lock open. The rules are CGearTrain's; this screen binds
// them to the layout "Game08", the mouse, the sounds and sparks, the saved block and the world.

#include "Src/MiniGames/Vey_GearTrain.h"
#include "Src/MiniGames/Vey_MiniGameBase.h"

#include <array>
#include <memory>

namespace MP {
class CEmitter;
}

namespace Vey {

class CEmitterPool;

class CMiniGame11 : public CMiniGameBase {
 public:
  static constexpr int32_t kIndex = 7;

  // `fitPool` (the sparks where a gear meshes) is borrowed and may be null.
  CMiniGame11(Ombrel::CLayout2D* layout, const SMiniGameShared& shared, CEmitterPool* fitPool);

  void Reset() override {}
  void Render() override;
  void Update(float dt) override;
  // Opening, and the train's rolling sound.
  void Enter() override;

  bool IsUnlocked() const { return m_train->IsUnlocked(); }
  const CGearTrain& GetTrain() const { return *m_train; }
  int32_t GetHeldGear() const { return m_heldGear; }

 private:
  void BindLayout();
  void LoadFromProfile();
  void FadeOwnEffects(float alpha) override;
  // The train's step with its sparks and sounds; true when the lock moved (the frame ends).
  bool TurnTrain(float dt);
  void Click();
  void Complete();

  void RenderBoard(float alpha);
  void RenderFixedGears(float alpha);
  void RenderLooseGears(float alpha);
  void RenderHeldGear(float alpha);
  void RenderAxes(float alpha);
  void RenderGear(int32_t gear, const Vector2& centre, float alpha, bool rim);

  std::array<Ombrel::SLayoutBox*, kGearAxisCount> m_axisNodes{};
  std::array<Ombrel::SLayoutBox*, kGearCount> m_gearNodes{};
  Ombrel::SLayoutBox* m_latch = nullptr;
  std::unique_ptr<CGearTrain> m_train;
  int32_t m_heldGear = kNoGear;
  CEmitterPool* m_fitPool;
  MP::CEmitter* m_completeEmitter = nullptr;
};

}  // namespace Vey
