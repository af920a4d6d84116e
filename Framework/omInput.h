#pragma once
// The input object: per player, action slots bound to poll functions. Screens bind the slots
// they use and ask for edges (pressed, released this frame) and held times. The input module
// owns the one instance and updates it every frame.

#include "Quor/CMemWatch.h"

#include <cstdint>

namespace Ombrel {

// Whether a control is held now (or, for the press polls, went down this frame).
using BoolPoll = bool (*)();
using AnaloguePoll = float (*)();

// Polls of the engine's key table by Windows virtual-key code: held (down and not blocked),
// and pressed (held now, not at the poll before).
bool IsKeyHeld(uint32_t virtualKey);
bool IsKeyPressedNow(uint32_t virtualKey);
template <uint8_t kVirtualKey>
bool KeyHeldPoll() {
  return IsKeyHeld(kVirtualKey);
}
template <uint8_t kVirtualKey>
bool KeyPressPoll() {
  return IsKeyPressedNow(kVirtualKey);
}

class CInput : public CMemWatch {
 public:
  static constexpr int32_t kPlayerCount = 4;
  static constexpr int32_t kSlotCount = 256;

  struct SSlot {
    uint8_t previous = 0;
    uint8_t current = 0;
    float value = 0.0f;
    float heldTime = 0.0f;
    BoolPoll poll = nullptr;
    AnaloguePoll analogue = nullptr;
  };

  // Advances the bound slots by one frame of the given length.
  void Update(float frameTime);
  // Makes the table quiet: every slot takes its poll's value as both previous and current, so
  // a held control reports no press edge; values and held times restart at 0.
  void Flush();
  // Player 0's slot k: the poll replaces the slot's polls.
  void Bind(int32_t slot, BoolPoll poll);
  void ClearSlot(int32_t slot);
  // Player 0's slot k; false for a slot number outside 0..255.
  bool IsPressed(int32_t slot) const;
  bool IsReleased(int32_t slot) const;
  bool IsDown(int32_t slot) const;
  // Some bound slot of player 0 has a press edge.
  bool AnyPressed() const;
  // Null for a slot number outside 0..255.
  const SSlot* GetSlot(int32_t slot) const;

  float GetLastFrameTime() const { return m_lastFrameTime; }

 private:
  SSlot m_slots[kPlayerCount * kSlotCount];
  float m_lastFrameTime = 0.0f;
};

}  // namespace Ombrel
