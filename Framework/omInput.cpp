#include "Framework/omInput.h"

#include "Quor/DirectX/InputState.h"

namespace Ombrel {

bool IsKeyHeld(uint32_t virtualKey) { return IsKeyAvailable(virtualKey); }

bool IsKeyPressedNow(uint32_t virtualKey) {
  return IsKeyAvailable(virtualKey) && !GetInputState().previous[virtualKey & 0xFF];
}

void CInput::Update(float frameTime) {
  m_lastFrameTime = frameTime;
  for (SSlot& slot : m_slots) {
    if (slot.poll) {
      slot.previous = slot.current;
      slot.current = slot.poll() ? 1 : 0;
      slot.heldTime = slot.current ? slot.heldTime + frameTime : 0.0f;
    }
    if (slot.analogue) slot.value = slot.analogue();
  }
}

void CInput::Flush() {
  for (SSlot& slot : m_slots) {
    const uint8_t held = slot.poll && slot.poll() ? 1 : 0;
    slot.previous = slot.current = held;
    slot.value = 0.0f;
    slot.heldTime = 0.0f;
  }
}

void CInput::Bind(int32_t slot, BoolPoll poll) {
  if (slot < 0 || slot >= kSlotCount) return;
  m_slots[slot].poll = poll;
  m_slots[slot].analogue = nullptr;
}

void CInput::ClearSlot(int32_t slot) {
  if (slot >= 0 && slot < kSlotCount) m_slots[slot] = SSlot();
}

const CInput::SSlot* CInput::GetSlot(int32_t slot) const {
  return slot >= 0 && slot < kSlotCount ? &m_slots[slot] : nullptr;
}

bool CInput::IsPressed(int32_t slot) const {
  const SSlot* entry = GetSlot(slot);
  return entry && entry->current && !entry->previous;
}

bool CInput::IsReleased(int32_t slot) const {
  const SSlot* entry = GetSlot(slot);
  return entry && !entry->current && entry->previous;
}

bool CInput::IsDown(int32_t slot) const {
  const SSlot* entry = GetSlot(slot);
  return entry && entry->current;
}

bool CInput::AnyPressed() const {
  for (int32_t slot = 0; slot < kSlotCount; ++slot) {
    if (m_slots[slot].poll && IsPressed(slot)) return true;
  }
  return false;
}

}  // namespace Ombrel
