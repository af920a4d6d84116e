#pragma once
// The combination lock of the front door (G03): a big dial of the letters A to I and a tiny
// dial of the digits 1 to 9, covered in dust until the player wipes it off with the tissue.
// A click grabs a dial, the mouse turns it round its centre and the next click drops it,
// entering the character at its mark. Letters and digits must be entered in the order of the
// code H2C8A5; the first wrong character clears the entry. The whole code opens the door of
// location S06. The dust, the dials and the entry live in the current profile.

#include "Src/MiniGames/Vey_KeyLockRules.h"
#include "Src/MiniGames/Vey_MiniGameBase.h"

#include <cstdint>
#include <string>

namespace MP {
class CEmitter;
}

namespace Vey {

struct SObjectAction;
struct SSceneObject;

class CMiniGame3 : public CMiniGameBase {
 public:
  static constexpr int32_t kPuzzleIndex = 2;
  static constexpr uint32_t kLocation = 5;  // S06, whose front door the code opens
  static constexpr float kWinWait = 2.0f;   // seconds from the last character to the win
  static constexpr const char* kTissue = "HO04_1_Tissue";

  // The win opens the door of S06 through the shared layout shelf.
  CMiniGame3(Ombrel::CLayout2D* layout, const SMiniGameShared& shared);

  void Reset() override {}
  void Render() override;
  void Update(float dt) override;

  // Reads the profile's block; a damaged one is reported and the puzzle starts afresh.
  void LoadFromProfile();
  void StoreToProfile();
  bool IsMouseOverTinyDial() const;
  bool IsMouseOverBigDial() const;
  void GrabTinyDial();
  void GrabBigDial();
  void TurnTinyDial();
  void TurnBigDial();
  void EnterDigit();
  void EnterLetter();
  // True once the whole code stands entered; a wrong character clears the entry.
  bool CheckCode();
  void ResetCode();
  // An item used on one of the puzzle's objects, or "Click" for a plain click.
  void ApplyAction(const std::string& objectName, const std::string& actionKey);
  void Complete();

  bool IsDustRemoved() const { return m_dustRemoved; }
  const SLockSave& GetDials() const { return m_dials; }
  // For a test: the dials turned to these angles.
  void SetDialAngles(float tiny, float big) {
    m_dials.tinyAngle = tiny;
    m_dials.bigAngle = big;
  }
  bool IsHoldingDial() const { return m_draggingTiny || m_draggingBig; }

 private:
  // One of the two dials: its node, its angle and grab angle in the dials' state, its dust,
  // its click sounds and its characters.
  struct SDial {
    const char* node;
    const char* characters;
    const char* clickSound;
    const char* unlockSound;
    float SLockSave::*angle;
    float SLockSave::*grabAngle;
    MP::CEmitter* dust;
    float* clickAccumulator;
  };
  SDial Tiny();
  SDial Big();
  float MouseAngle(const char* node) const;
  void Grab(const SDial& dial);
  void Turn(const SDial& dial);
  void EnterCharacter(const SDial& dial);
  bool HandleClick(const std::string& picked, const std::string& used);
  void FadeOwnEffects(float alpha) override;
  void RemoveDust();
  void ShowCodeNode(char c, bool visible);

  // S06's layout while it is loaded, else null.

  bool m_draggingTiny = false;
  bool m_draggingBig = false;
  bool m_dustRemoved = false;
  SLockSave m_dials;  // the angles, the count and the entry as the profile keeps them
  MP::CEmitter* m_bigDust = nullptr;
  MP::CEmitter* m_smallDust = nullptr;
  // Movement since each dial's last click sound.
  float m_tinyClicks = 0.0f;
  float m_bigClicks = 0.0f;
};

}  // namespace Vey
