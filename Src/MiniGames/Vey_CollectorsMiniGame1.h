#pragma once
// The bonus chapter's arcade machine: a row of blocks slides across the monitor and the
// machine's button stops it (CArcadeStack holds the rules). Eight rows stacked, or the heads-up
// display's skip button, switch the monitor off and drop a coin; taking the coin into the
// inventory closes the machine for good. The stacking game lives only in memory: leaving the
// machine keeps it while the game runs.

#include "Src/MiniGames/Vey_ArcadeStack.h"
#include "Src/MiniGames/Vey_MiniGameBase.h"

#include <array>
#include <string>

namespace Vey {

class IItemFrame;

class CCollectorsMiniGame1 : public CMiniGameBase {
 public:
  static constexpr int32_t kIndex = 0;

  // `itemFrame` (borrowed, may be null) shows the taken coin. The games room, which shows the
  // machine from afar, is changed through the shared layout shelf.
  CCollectorsMiniGame1(Ombrel::CLayout2D* layout, const SMiniGameShared& shared, IItemFrame* itemFrame);

  void Reset() override {}
  void Render() override;
  void Update(float dt) override;
  // While the coin's frame is up the frame takes the mouse; clicks count for no dialog.
  void ReadInput(float dt) override;

  const CArcadeStack& GetStack() const { return m_stack; }
  bool IsMonitorOff() const { return m_monitorTimer > 0.0f; }
  bool IsCoinTaken() const { return m_coinTaken; }
  bool IsItemFrameOpen() const { return m_itemFrameOpen; }

 private:
  bool IsOver() const { return m_stack.IsWon() || m_skipRequested; }
  void BlinkLamps();
  // A click's effect; false when it did nothing.
  bool Click(const std::string& picked);
  void PressButton();
  void TakeCoin(const std::string& picked);
  void SwitchMonitorOff(float dt);
  void ShowMonitorOffInLocation();
  void Complete();
  void CloseMachine();
  void RenderGrid(float alpha);

  CArcadeStack m_stack;
  float m_completeDelay = 0.0f;
  float m_monitorTimer = 0.0f;
  bool m_itemFrameOpen = false;
  bool m_coinTaken = false;
  IItemFrame* m_itemFrame;
  Ombrel::SLayoutBox* m_button;
  Ombrel::SLayoutBox* m_screen;
  Ombrel::SLayoutBox* m_block;
  Ombrel::SLayoutBox* m_placedBlock;
  std::array<Ombrel::SLayoutBox*, 4> m_lamps{};
  Ombrel::SLayoutBox* m_monitorOff;
  Ombrel::SLayoutBox* m_coin;
};

}  // namespace Vey
