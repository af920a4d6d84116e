#pragma once
// The key puzzle (G02): eighteen loose parts of a broken key lie around its sockets; a click
// takes a part into the hand, the next drops it. A part dropped within reach of its socket
// stays there, any other drop sends it gliding home. With all parts in place the assembled
// key shines, and three seconds later the puzzle closes for good and opens the way on in
// location S06. The placed parts live in the current profile.

#include "Src/MiniGames/Vey_KeyLockRules.h"
#include "Src/MiniGames/Vey_MiniGameBase.h"

#include <array>
#include <cstdint>
#include <string>

namespace Vey {

class CMiniGame2 : public CMiniGameBase {
 public:
  static constexpr int32_t kPuzzleIndex = 1;
  static constexpr uint32_t kCloseUp = 22;       // I23, which opens the puzzle
  static constexpr uint32_t kLocation = 5;       // S06, behind the door the key opens
  static constexpr uint32_t kOpenedExit = 8;     // the exit of S06 the win opens
  static constexpr float kGlideSpeed = 2.0f;     // of a glide's progress per second
  static constexpr float kAssembledWait = 3.0f;  // seconds from the last part settling to the win

  struct SKeyPart {
    std::string name;               // "key_01" .. "key_18"
    Vector2 dropPoint{0.0f, 0.0f};  // virtual-screen place of the last drop
    float move = 1.0f;              // progress of the glide from the drop; 1 at rest
    bool placed = false;
  };

  // The win changes the door and wire of S06 through the shared layout shelf.
  CMiniGame2(Ombrel::CLayout2D* layout, const SMiniGameShared& shared);

  void Reset() override {}
  void Render() override;
  void Update(float dt) override;

  // Reads the profile's block; a damaged block is reported and the puzzle starts afresh.
  void LoadFromProfile();
  bool AllPartsPlaced() const;
  bool IsMouseNearHome() const;
  bool IsMouseNearTarget() const;
  // The win: closes the puzzle's entry for good and opens the door and the exit of S06.
  void Complete();

  const SKeyPart& GetPart(int32_t index) const { return m_parts[size_t(index)]; }
  int32_t GetHeldIndex() const { return m_heldIndex; }
  float GetAssembledTimer() const { return m_assembledTimer; }

 private:
  void AdvanceGlides(float dt);
  // True when the click ends the frame (a part dropped or taken, the exit).
  bool HandleClick(const std::string& picked);
  void DropHeldPart();
  // The part a picked object shows, -1 for a name of no object or of no part.
  int32_t PickedPart(const std::string& picked) const;
  void WaitForWin(float dt);
  // The layout's picture "root/Key/" or "root/Dummy/" + the part's name, null without it.
  const Ombrel::SLayoutBox* PartNode(const char* folder, int32_t index) const;
  bool IsMouseNear(const char* folder) const;
  // Where a part is drawn: on its way from its drop to its socket or its home.
  Vector2 PartPlace(int32_t index, const Ombrel::SLayoutBox& home, float* shadow) const;
  void DrawElement(const Ombrel::SLayoutBox& node, float alpha);
  void DrawHeldPart(float alpha);
  void OpenTheWay();
  void ShowDoorSound();

  // S06's layout while it is loaded, else null.

  std::array<SKeyPart, kKeyPartCount> m_parts;
  int32_t m_heldIndex = -1;  // the part in hand, -1 for none
  float m_assembledTimer = 0.0f;
};

}  // namespace Vey
