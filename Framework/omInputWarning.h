#pragma once
// The controller warning box of the system message screens: a strip near the bottom of the
// screen with the warning's icon for each of four players (opaque for the players it concerns),
// their markers "P1".."P4", a text and an exclamation sign. Nothing on this platform raises a
// warning yet; the message box resets it every frame and draws it only while one is set.

#include "Quor/CMemWatch.h"

#include <cstdint>

class CFont;
struct TextureRecord;

namespace Ombrel {

class CInputWarning : public CMemWatch {
 public:
  enum EState : int32_t { kNone = -1, kBatteryLow = 0, kAttachmentRequired = 1, kConnectionLost = 2 };
  static constexpr int32_t kPlayerCount = 4;

  // Fetches the "System" font and the six pictures from the resource manager.
  virtual void LoadResources();
  // Called before deletion.
  virtual void Release() {}
  // No warning, no player concerned.
  virtual void Reset();
  // Draws the box while a warning is set; nothing otherwise.
  virtual void Render();

  int32_t GetState() const { return m_state; }
  void SetState(int32_t state) { m_state = state; }
  bool GetPlayerFlag(int32_t player) const;
  void SetPlayerFlag(int32_t player, bool concerned);

 private:
  CFont* m_font = nullptr;
  TextureRecord* m_edge = nullptr;
  TextureRecord* m_centre = nullptr;
  TextureRecord* m_icons[3] = {};
  TextureRecord* m_exclamation = nullptr;
  uint8_t m_playerFlags[kPlayerCount] = {};
  int32_t m_state = kNone;
};

}  // namespace Ombrel
