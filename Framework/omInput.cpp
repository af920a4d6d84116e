#include "Framework/omInput.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Quor/DirectX/InputState.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DirectX/QuordxDevice.h"
#include "Quor/Engine.h"

#include <cmath>

namespace Ombrel {

namespace {

// The system 2-D space: the mouse's -1..1 spans 1792..2304.
constexpr float kCentre = 2048.0f;
constexpr float kHalfSpan = 256.0f;

// On each axis a move shorter than the dead zone leaves the pointer where it was.
float OutsideDeadZone(float target, float previous) {
  return std::fabs(target - previous) < CCursor::kDeadZoneUnits ? previous : target;
}

}  // namespace

bool IsKeyHeld(uint32_t virtualKey) { return IsKeyAvailable(virtualKey); }

bool IsKeyPressedNow(uint32_t virtualKey) {
  return IsKeyAvailable(virtualKey) && !GetInputState().previous[virtualKey & 0xFF];
}

// The engine keeps the mouse over the game view, which may be narrower or lower than the
// back buffer; the window is the whole back buffer.
bool IsSystemCursorInWindow() {
  const SPlatformGameView view = GetGameView();
  const SPlatformState& platform = GetPlatformState();
  if (view.width <= 0 || view.height <= 0) return false;
  const SInputState& input = GetInputState();
  const float x = static_cast<float>(view.x) + (input.mouseX + 1.0f) * 0.5f * static_cast<float>(view.width);
  const float y = static_cast<float>(view.y) + (input.mouseY + 1.0f) * 0.5f * static_cast<float>(view.height);
  return x >= 0.0f && y >= 0.0f && x <= static_cast<float>(platform.backBufferWidth) &&
         y <= static_cast<float>(platform.backBufferHeight);
}

// ---- the pointer

CCursor::CCursor(int32_t player) : m_player(player) { Show(); }

void CCursor::Update(float frameTime) {
  if ((m_flags & kExternalDriver) && m_driver) m_driver->Update(frameTime);
  if (IsActive()) {
    const SInputState& input = GetInputState();
    m_rawX = input.mouseX;
    m_rawY = input.mouseY;
    m_x = kCentre + kHalfSpan * m_rawX;
    m_y = kCentre + kHalfSpan * m_rawY;
    if (m_flags & kDeadZone) {
      m_x = OutsideDeadZone(m_x, m_previousX);
      m_y = OutsideDeadZone(m_y, m_previousY);
    }
    if (m_flags & kSmoothing) {
      m_x = m_previousX + (m_x - m_previousX) * kSmoothingFactor;
      m_y = m_previousY + (m_y - m_previousY) * kSmoothingFactor;
    }
    m_previousX = m_x;
    m_previousY = m_y;
  }
  Apply();
}

// The hot spot turns with the pointer; a node drawn narrowed by the aspect narrows its offset
// the same way.
void CCursor::Apply() {
  if (!m_node) return;
  const float c = std::cos(m_rotation), s = std::sin(m_rotation);
  float offsetX = m_hotSpotX * c + m_hotSpotY * s;
  const float offsetY = -m_hotSpotX * s + m_hotSpotY * c;
  if (m_node->GetAspectCorrection()) offsetX /= GetSceneAspectRatio();
  CSpriteData& sprite = m_node->GetSpriteData();
  if (!(m_flags & kExternalDriver)) {
    sprite.SetTexture(m_texture);
    // The whole picture, laid on the corners as a texture animation lays its frames, so that
    // the picture's top row is at the top of the screen.
    sprite.SetTexCoords({0, 1}, {1, 1}, {1, 0}, {0, 0});
  }
  m_node->SetPosition({m_x + offsetX, m_y + offsetY});
  if (!(m_flags & kKeepRotation)) sprite.SetAngle(m_rotation);
  sprite.SetSize(m_width, m_height);
  sprite.SetColour({m_colour[0], m_colour[1], m_colour[2], m_colour[3]});
}

void CCursor::Reset() {
  m_x = m_previousX = kCentre;
  m_y = m_previousY = kCentre;
  m_rawX = m_rawY = 0.0f;
  m_rotation = 0.0f;
  Apply();
}

void CCursor::Show() {
  m_flags |= kActive;
  if (m_node) m_node->Show();
}

void CCursor::Hide() {
  m_flags &= ~kActive;
  if (m_node) m_node->Hide();
}

void CCursor::SetPosition(float x, float y) {
  m_x = m_previousX = x;
  m_y = m_previousY = y;
}

void CCursor::GetHotSpot(float* x, float* y) const {
  *x = m_hotSpotX;
  *y = m_hotSpotY;
}

void CCursor::SetHotSpot(float x, float y) {
  m_hotSpotX = x;
  m_hotSpotY = y;
}

void CCursor::GetSize(float* width, float* height) const {
  *width = m_width;
  *height = m_height;
}

void CCursor::SetSize(float width, float height) {
  m_width = width;
  m_height = height;
}

void CCursor::SetColour(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  m_colour[0] = red;
  m_colour[1] = green;
  m_colour[2] = blue;
  m_colour[3] = alpha;
}

// ---- the action table

CInput::CInput() {
  for (int32_t player = 0; player < kPlayerCount; ++player) {
    m_cursors[player] = std::make_unique<CCursor>(player);
  }
}

// The nodes belong to the screens that lent them; a pointer lets go of its node first.
CInput::~CInput() {
  for (std::unique_ptr<CCursor>& cursor : m_cursors) {
    cursor->SetNode(nullptr, nullptr);
    cursor->SetFlags(cursor->GetFlags() & ~CCursor::kActive);
  }
}

void CInput::Update(float frameTime) {
  m_lastFrameTime = frameTime;
  for (int32_t player = 0; player < kPlayerCount; ++player) {
    for (int32_t k = 0; k < kSlotCount; ++k) {
      SSlot& slot = m_slots[player * kSlotCount + k];
      if (slot.poll) {
        slot.previous = slot.current;
        slot.current = slot.poll() ? 1 : 0;
        slot.heldTime = slot.current ? slot.heldTime + frameTime : 0.0f;
      }
      if (slot.analogue) slot.value = slot.analogue();
    }
    CCursor& cursor = *m_cursors[player];
    cursor.Update(frameTime);
    if (m_visibilityPending[player] && cursor.GetNode()) {
      if (m_visibilityRequested[player]) {
        cursor.GetNode()->Show();
      } else {
        cursor.GetNode()->Hide();
      }
      m_visibilityPending[player] = 0;
    }
  }
}

void CInput::Flush() {
  if (IsEngineRunning()) EngineServicePass();
  for (SSlot& slot : m_slots) {
    const uint8_t held = slot.poll && slot.poll() ? 1 : 0;
    slot.previous = slot.current = held;
    slot.value = 0.0f;
    slot.heldTime = 0.0f;
  }
  for (std::unique_ptr<CCursor>& cursor : m_cursors) cursor->Reset();
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

CCursor* CInput::GetCursor(int32_t player) const {
  return player >= 0 && player < kPlayerCount ? m_cursors[player].get() : nullptr;
}

void CInput::RequestPointerVisibility(int32_t player, bool visible) {
  if (player < 0 || player >= kPlayerCount) return;
  m_visibilityRequested[player] = visible ? 1 : 0;
  m_visibilityPending[player] = 1;
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
