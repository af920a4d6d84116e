#pragma once
// The layout of keyframed animation files ("BAN "), shared by the engine's reader
// (CAnimator_Keyframed) and modeltool's writer. All values little-endian.
//
//   tag "BAN ", version u16, frame count u16, frames per second u16, track count u16
//   per track: name (zero-terminated), [from 0x101: base position 3 x f32],
//     position keys, [base rotation 4 x f32], rotation keys, [base scale 3 x f32], scale keys;
//     keys: count u16, then per key frame u16 and 3 (rotation 4) x f32
//   [from 0x102: event count u16, events: frame u32, value u32]

#include <cstddef>
#include <cstdint>

constexpr char kBanTag[4] = {'B', 'A', 'N', ' '};

// Later versions are read as the newest.
constexpr uint16_t kBanVersionBase = 0x101;    // base pose per track from here
constexpr uint16_t kBanVersionEvents = 0x102;  // events from here
constexpr uint16_t kBanNewestVersion = 0x102;

constexpr size_t kBanTrackNameCapacity = 256;
constexpr uint32_t kBanMaxCount = 0xFFFF;  // tracks, keys of a kind, events
constexpr size_t kBanPositionFloats = 3;
constexpr size_t kBanRotationFloats = 4;
constexpr size_t kBanScaleFloats = 3;
constexpr size_t kBanEventSize = 4 + 4;

constexpr size_t BanKeySize(size_t floats) { return 2 + 4 * floats; }

// A track without keys: name terminator, three key counts and the base pose.
constexpr size_t BanSmallestTrackSize(bool hasBase) {
  return 1 + 3 * 2 + (hasBase ? (kBanPositionFloats + kBanRotationFloats + kBanScaleFloats) * 4 : 0);
}
