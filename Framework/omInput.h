#pragma once
// The input object: per player, action slots bound to poll functions. Screens bind the slots
// they use and ask for edges (pressed, released this frame) and held times. The input module
// owns the one instance and updates it every frame. Each player also has a pointer that
// follows the mouse in the system 2-D space (1792..2304 on both axes).

#include "Quor/CMemWatch.h"

#include <cstdint>
#include <memory>

struct TextureRecord;

namespace Ombrel {

class CSprite2DNode;

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
inline bool NeverHeldPoll() { return false; }
inline bool AlwaysHeldPoll() { return true; }

// Whether the mouse was last seen inside the main window's client area (edges inclusive).
bool IsSystemCursorInWindow();

// Moves a pointer in place of the mouse (a controller, a script).
class ICursorDriver {
 public:
  virtual ~ICursorDriver() = default;
  virtual void Update(float frameTime) = 0;
};

class CCursor : public CMemWatch {
 public:
  static constexpr uint32_t kSmoothing = 0x1;
  static constexpr uint32_t kDeadZone = 0x2;
  static constexpr uint32_t kActive = 0x4;
  static constexpr uint32_t kKeepRotation = 0x8;
  static constexpr uint32_t kExternalDriver = 0x10;
  static constexpr float kDeadZoneUnits = 3.0f;
  static constexpr float kSmoothingFactor = 0.5f;

  explicit CCursor(int32_t player);

  // Follows the mouse while active (dead zone, then smoothing), then Apply.
  void Update(float frameTime);
  // Moves the node to the position plus the rotated hot spot and gives it the pointer's
  // rotation, size, colour and (unless an external driver draws it) picture.
  void Apply();
  // Back to the centre (2048, 2048) with no rotation.
  void Reset();
  void Show();
  void Hide();
  bool IsActive() const { return (m_flags & kActive) != 0; }

  int32_t GetPlayer() const { return m_player; }
  uint32_t GetFlags() const { return m_flags; }
  void SetFlags(uint32_t flags) { m_flags = flags; }
  // The sprite node the pointer moves, shows and hides, and the picture it shows there (neither
  // owned; null for none). A screen lends both together and takes both back together, so the
  // pointer never holds a picture of resources its owner has let go of.
  CSprite2DNode* GetNode() const { return m_node; }
  void SetNode(CSprite2DNode* node, TextureRecord* texture) {
    m_node = node;
    m_texture = texture;
  }
  TextureRecord* GetTexture() const { return m_texture; }
  void SetTexture(TextureRecord* texture) { m_texture = texture; }
  // Not owned; runs first in every update while the external-driver flag is set.
  void SetDriver(ICursorDriver* driver) { m_driver = driver; }

  float GetX() const { return m_x; }
  float GetY() const { return m_y; }
  void SetPosition(float x, float y);
  float GetRotation() const { return m_rotation; }
  void SetRotation(float rotation) { m_rotation = rotation; }
  void GetHotSpot(float* x, float* y) const;
  void SetHotSpot(float x, float y);
  void GetSize(float* width, float* height) const;
  void SetSize(float width, float height);
  const uint8_t* GetColour() const { return m_colour; }
  void SetColour(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);

 private:
  int32_t m_player;
  uint32_t m_flags = kSmoothing | kDeadZone | kActive;
  CSprite2DNode* m_node = nullptr;
  TextureRecord* m_texture = nullptr;
  ICursorDriver* m_driver = nullptr;
  float m_x = 2048.0f;
  float m_y = 2048.0f;
  float m_rawX = 0.0f;
  float m_rawY = 0.0f;
  float m_rotation = 0.0f;
  float m_hotSpotX = 0.0f;
  float m_hotSpotY = 0.0f;
  uint8_t m_colour[4] = {128, 128, 128, 128};
  float m_width = 15.0f;
  float m_height = 15.0f;
  float m_previousX = 2048.0f;
  float m_previousY = 2048.0f;
};

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

  CInput();
  ~CInput() override;

  // Advances the bound slots of every player by one frame of the given length, then their
  // pointers.
  void Update(float frameTime);
  // Makes the table quiet: the engine's services run once (while the program runs), then every
  // slot takes its poll's value as both previous and current, so a held control reports no
  // press edge; values and held times restart at 0 and the pointers go back to the centre.
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
  // Null for a player outside 0..3.
  CCursor* GetCursor(int32_t player) const;
  // Shows or hides a player's pointer node at the next update.
  void RequestPointerVisibility(int32_t player, bool visible);

  float GetLastFrameTime() const { return m_lastFrameTime; }

 private:
  SSlot m_slots[kPlayerCount * kSlotCount];
  std::unique_ptr<CCursor> m_cursors[kPlayerCount];
  uint8_t m_visibilityRequested[kPlayerCount] = {};
  uint8_t m_visibilityPending[kPlayerCount] = {};
  float m_lastFrameTime = 0.0f;
};

}  // namespace Ombrel
