#pragma once
// The rules of the key puzzle and the combination lock that need no screen: which part a layout
// name names, the reach of a drop, the dials' marks and the angle of the mouse around a dial,
// and the two puzzles' blocks of the profile record, read and written by name and checked
// before a puzzle trusts them.

#include "Quor/Utils.h"
#include "Src/World/Vey_SaveData.h"

#include <array>
#include <cstdint>
#include <string>

namespace Vey {

// ---- The key puzzle ----

constexpr int32_t kKeyPartCount = 18;
// How far from a home or a socket a drop still counts, in virtual-screen units on each axis.
constexpr float kKeyReach = 20.0f;

// The part a layout name ends in ("root/Key/key_07" and "G02_Key07" are part 6), -1 when the
// name does not end in a two-digit number 01..18.
int32_t KeyPartFromName(const std::string& name);
// True when the point lies within kKeyReach of the place on both axes, bounds included.
bool IsWithinKeyReach(const Vector2& point, const Vector2& place);

// The key puzzle's block: the intro byte, then one placed byte per part.
struct SKeySave {
  bool introShown = false;
  std::array<bool, kKeyPartCount> placed{};
};
// False (with the reason) when a byte holds anything but 0 or 1.
bool ReadKeySave(const SMiniGameBlock& block, SKeySave* save, std::string* problem);
// The intro byte, which the base sets once the intro dialog has been shown.
uint8_t& KeyIntroFlag(SMiniGameBlock& block);
void WriteKeyPlaced(SMiniGameBlock& block, int32_t part, bool placed);
// The whole block back to a fresh record's zeros.
void ClearKeySave(SMiniGameBlock& block);

// ---- The combination lock ----

constexpr int32_t kDialPositionCount = 9;
constexpr int32_t kCodeLength = 6;
constexpr const char* kLockCode = "H2C8A5";
constexpr const char* kLetterDialCharacters = "ABCDEFGHI";
constexpr const char* kDigitDialCharacters = "123456789";
// A dial stands at a mark while its angle lies strictly within this of the mark's angle; the
// click sound of a turning dial plays once per this much movement.
constexpr float kDialSnap = 0.15707964f;

// The rest angle of mark k (0..8): k x 40 degrees for k 0..4, (k - 9) x 40 degrees after.
float DialPositionAngle(int32_t k);
// The first mark the dial stands at, -1 between marks.
int32_t DialPositionAt(float angle);
// Into -pi..pi.
float WrapDialAngle(float angle);
// The mouse's angle around a dial's centre (virtual-screen units, y down): 0 straight below,
// +pi/2 to the right, -pi/2 to the left, +-pi above.
float MouseAngleAroundDial(const Vector2& mouse, const Vector2& centre);

// The combination lock's block.
struct SLockSave {
  bool introShown = false;
  bool dustRemoved = false;
  float tinyAngle = 0.0f;
  float bigAngle = 0.0f;
  float tinyGrabAngle = 0.0f;
  float bigGrabAngle = 0.0f;
  float grabMouseAngle = 0.0f;
  int32_t enteredCount = 0;
  std::array<char, kCodeLength> enteredCode{};
};
// The two flags always (any byte but 0 sets one); the dials, the count and the entry unless one
// is damaged: false (with the reason) when an angle is not a number in -pi..pi, the count lies
// outside 0..6 or the entry holds a character no dial carries, or one past the count.
bool ReadLockSave(const SMiniGameBlock& block, SLockSave* save, std::string* problem);
uint8_t& LockIntroFlag(SMiniGameBlock& block);
void WriteLockDust(SMiniGameBlock& block, bool removed);
// The angles, the count and the entry; the two flags are written where they change.
void WriteLockDials(SMiniGameBlock& block, const SLockSave& save);
// The dials, the count and the entry back to a fresh record's zeros; the flags stay.
void ClearLockDials(SMiniGameBlock& block);

}  // namespace Vey
