#include "Src/MiniGames/Vey_KeyLockRules.h"

#include <cmath>
#include <cstddef>
#include <cstring>

namespace Vey {

namespace {

constexpr float kKeyLockPi = 3.14159265f;
// A stored angle a hair past pi is the float nearest pi written back; anything further is damage.
constexpr float kStoredAngleLimit = kKeyLockPi + 1e-4f;

// The record offsets of the two blocks, from the start of the mini-games' area.
constexpr size_t kKeyBlock = offsetof(SMiniGameBlock, words68);
constexpr size_t kKeyBlockSize = 19;
constexpr size_t kLockBlock = offsetof(SMiniGameBlock, words88);
constexpr size_t kLockBlockSize = sizeof(SMiniGameBlock::words88);
// Within the lock's block.
constexpr size_t kLockIntro = 0;
constexpr size_t kLockDust = 1;
constexpr size_t kLockAngles = 4;  // tiny, big, tiny grab, big grab, grab mouse: five floats
constexpr size_t kLockCount = 24;
constexpr size_t kLockEntry = 28;

static_assert(offsetof(SMiniGameBlock, byte86) == kKeyBlock + kKeyBlockSize - 1, "the key block ends at its byte");
static_assert(kLockEntry + kCodeLength <= kLockBlockSize, "the lock's entry lies in its block");

bool IsFlag(uint8_t value) { return value <= 1; }

template <class T>
T ReadValue(const uint8_t* at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  return value;
}
template <class T>
void WriteValue(uint8_t* at, const T& value) {
  std::memcpy(at, &value, sizeof value);
}

bool IsStoredAngle(float angle) { return std::isfinite(angle) && std::fabs(angle) <= kStoredAngleLimit; }

bool IsDialCharacter(char c) {
  return c != 0 && (std::strchr(kLetterDialCharacters, c) || std::strchr(kDigitDialCharacters, c));
}

// The entry's characters up to the count, zeros after it.
bool IsEntry(const SLockSave& save) {
  for (int32_t i = 0; i < kCodeLength; ++i) {
    const char c = save.enteredCode[size_t(i)];
    if (i < save.enteredCount ? !IsDialCharacter(c) : c != 0) return false;
  }
  return true;
}

}  // namespace

int32_t KeyPartFromName(const std::string& name) {
  if (name.size() < 2) return -1;
  const char tens = name[name.size() - 2];
  const char ones = name[name.size() - 1];
  if (tens < '0' || tens > '9' || ones < '0' || ones > '9') return -1;
  const int32_t number = (tens - '0') * 10 + (ones - '0');
  return number >= 1 && number <= kKeyPartCount ? number - 1 : -1;
}

bool IsWithinKeyReach(const Vector2& point, const Vector2& place) {
  return std::fabs(point.x - place.x) <= kKeyReach && std::fabs(point.y - place.y) <= kKeyReach;
}

bool ReadKeySave(const SMiniGameBlock& block, SKeySave* save, std::string* problem) {
  const uint8_t* bytes = BlockBytes(block, kKeyBlock);
  for (size_t i = 0; i < kKeyBlockSize; ++i) {
    if (IsFlag(bytes[i])) continue;
    *problem = "byte " + std::to_string(i) + " holds " + std::to_string(bytes[i]) + ", not 0 or 1";
    return false;
  }
  save->introShown = bytes[0] != 0;
  for (int32_t part = 0; part < kKeyPartCount; ++part) save->placed[size_t(part)] = bytes[1 + part] != 0;
  return true;
}

uint8_t& KeyIntroFlag(SMiniGameBlock& block) { return BlockBytes(block, kKeyBlock)[0]; }

void WriteKeyPlaced(SMiniGameBlock& block, int32_t part, bool placed) {
  if (part < 0 || part >= kKeyPartCount) return;
  BlockBytes(block, kKeyBlock)[1 + part] = placed ? 1 : 0;
}

void ClearKeySave(SMiniGameBlock& block) { std::memset(BlockBytes(block, kKeyBlock), 0, kKeyBlockSize); }

float DialPositionAngle(int32_t k) {
  const float step = 2.0f * kKeyLockPi / float(kDialPositionCount);
  return k <= 4 ? float(k) * step : float(k - kDialPositionCount) * step;
}

int32_t DialPositionAt(float angle) {
  for (int32_t k = 0; k < kDialPositionCount; ++k)
    if (std::fabs(angle - DialPositionAngle(k)) < kDialSnap) return k;
  return -1;
}

float WrapDialAngle(float angle) {
  while (angle > kKeyLockPi) angle -= 2.0f * kKeyLockPi;
  while (angle < -kKeyLockPi) angle += 2.0f * kKeyLockPi;
  return angle;
}

float MouseAngleAroundDial(const Vector2& mouse, const Vector2& centre) {
  float x = mouse.x - centre.x;
  float y = mouse.y - centre.y;
  const float length = std::sqrt(x * x + y * y);
  if (length > 0.0001f) {
    x /= length;
    y /= length;
  }
  const float angle = std::acos(std::fmax(-1.0f, std::fmin(1.0f, y)));
  return mouse.x < centre.x ? -angle : angle;
}

bool ReadLockSave(const SMiniGameBlock& block, SLockSave* save, std::string* problem) {
  const uint8_t* bytes = BlockBytes(block, kLockBlock);
  // Any byte but 0 sets a flag, so the flags are never damaged; they are kept either way.
  save->introShown = bytes[kLockIntro] != 0;
  save->dustRemoved = bytes[kLockDust] != 0;
  SLockSave read = *save;
  float* angles[] = {&read.tinyAngle, &read.bigAngle, &read.tinyGrabAngle, &read.bigGrabAngle, &read.grabMouseAngle};
  for (size_t i = 0; i < 5; ++i) {
    *angles[i] = ReadValue<float>(bytes + kLockAngles + 4 * i);
    if (!IsStoredAngle(*angles[i])) {
      *problem = "dial angle " + std::to_string(i) + " is no angle of a dial";
      return false;
    }
  }
  read.enteredCount = ReadValue<int32_t>(bytes + kLockCount);
  if (read.enteredCount < 0 || read.enteredCount > kCodeLength) {
    *problem = "the entered count " + std::to_string(read.enteredCount) + " lies outside 0..6";
    return false;
  }
  std::memcpy(read.enteredCode.data(), bytes + kLockEntry, kCodeLength);
  if (!IsEntry(read)) {
    *problem = "the entered code holds a character no dial carries";
    return false;
  }
  *save = read;
  return true;
}

uint8_t& LockIntroFlag(SMiniGameBlock& block) { return BlockBytes(block, kLockBlock)[kLockIntro]; }
void WriteLockDust(SMiniGameBlock& block, bool removed) { BlockBytes(block, kLockBlock)[kLockDust] = removed ? 1 : 0; }

void WriteLockDials(SMiniGameBlock& block, const SLockSave& save) {
  uint8_t* bytes = BlockBytes(block, kLockBlock);
  const float angles[] = {save.tinyAngle, save.bigAngle, save.tinyGrabAngle, save.bigGrabAngle, save.grabMouseAngle};
  for (size_t i = 0; i < 5; ++i) WriteValue(bytes + kLockAngles + 4 * i, angles[i]);
  WriteValue(bytes + kLockCount, save.enteredCount);
  std::memcpy(bytes + kLockEntry, save.enteredCode.data(), kCodeLength);
}

void ClearLockDials(SMiniGameBlock& block) {
  std::memset(BlockBytes(block, kLockBlock) + kLockAngles, 0, kLockBlockSize - kLockAngles);
}

}  // namespace Vey
