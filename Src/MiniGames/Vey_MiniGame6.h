#pragma once
// The gears and switches puzzle (G06): sixteen cog wheels in four rows and four columns and
// eight sliding switches; switches 1 to 4 flip the wheels of a column, 5 to 8 those of a row,
// and the puzzle is solved when every wheel is on. Solving it opens the gate of the location
// behind it. The wheels and switches keep their state in the profile between visits.

#include "Src/MiniGames/Vey_MiniGameBase.h"

#include <array>
#include <cstdint>
#include <string>

struct TextureRecord;

namespace Ombrel {
struct SLayoutBox;
}  // namespace Ombrel

namespace Vey {


class CMiniGame6 : public CMiniGameBase {
 public:
  // The puzzle's 26 bytes of the saved blocks, from this offset: 0 the intro was shown, 1 the
  // block was written, 2..17 wheel 1..16 on, 18..25 switch 1..8 on.
  static constexpr size_t kSavedOffset = 412;
  static constexpr int32_t kGearCount = 16;
  static constexpr int32_t kSwitchCount = 8;
  static constexpr int32_t kGridSide = 4;

  struct SGear {
    float turn = 0.0f;  // 0 fully off .. 1 fully on: the angle and the glow follow it
    int32_t off = 1;    // the state turn moves to
    Ombrel::SLayoutBox* node = nullptr;
  };

  struct SSwitch {
    Vector2 start;   // layout units, at rest (off)
    Vector2 end;     // where it rests when on
    float t = 0.0f;  // 0 at start .. 1 at end
    int32_t off = 1;
    Ombrel::SLayoutBox* node = nullptr;
  };

  // The win opens the gate of location "Scene22".
  CMiniGame6(const SMiniGameShared& shared, Ombrel::CLayout2D* layout);
  ~CMiniGame6() override;

  void Reset() override {}
  void Update(float dt) override;
  void Render() override;

  // The rules: which wheels are on at the start, and the wheel of switch s's line at position
  // i (0..3) along it.
  static bool StartsOn(int32_t gear);
  static int32_t GearOfSwitch(int32_t s, int32_t i);

  // Flips switch s (0..7) and its four wheels, with its sound, and writes them to the profile.
  void ToggleSwitch(int32_t s);
  bool IsAnySwitchMoving() const;
  bool AreAllGearsOn() const;
  // The win: the map, the world and the gate change, and the puzzle closes.
  void Complete();

  const SGear& GetGear(int32_t k) const { return m_gears[size_t(k)]; }
  const SSwitch& GetSwitch(int32_t s) const { return m_switches[size_t(s)]; }

 private:
  void LoadFromProfile();
  void StoreToProfile();
  void SetStartingLayout();
  void AnimatePieces(float dt);
  void HandleClick(const std::string& picked);
  void OpenGate();
  void DrawGearGlow(const Ombrel::SLayoutItem& item);
  uint8_t* Block() const;

  std::array<SGear, kGearCount> m_gears;
  std::array<SSwitch, kSwitchCount> m_switches;
  TextureRecord* m_gearActivatedTexture = nullptr;
  float m_drawAlpha = 0.0f;  // of the frame being drawn
};

}  // namespace Vey
