#pragma once
// The layout of ".ptc" particle files, shared by the reader (PtcReader) and the writer tool.
// All values are little-endian; strings are zero-terminated and shorter than kNameBytes.
//
//   header   "PTC " tag, u32 version, u32 atlas count, u32 emitter count
//   atlas    string file name, u32 width, u32 height, u32 frame count,
//            frame count x (f32 u0, v0, u1, v1: the frame's rectangle, top row v = 0)
//   emitter  string name, string folder ("" = the file's root, "a/b" nests), u8 loop,
//            u8 interpolation, f32 duration (s), f32 fixed step (ms), u32 layer count, layers
//   layer    u32 atlas, u32 first frame, u32 frame count, u8 frame mode, u8 intense (additive),
//            u8 shape, u8 unused, f32 shape width, f32 shape height, f32 rate (1/s),
//            u32 capacity, u32 burst, f32 life min, life max (s), speed min, speed max (units/s),
//            direction, spread (degrees; 0 points right, 90 down), gravity x, gravity y
//            (units/s^2), spin min, spin max (degrees/s), drag (1/s),
//            u32 size key count, keys x (f32 time, size), u32 colour key count,
//            keys x (f32 time, red, green, blue, alpha; 0..1)
//
// Positions are in particle units: x right, y down, 450.7042236328125 units to half the
// screen's height.

#include <cstddef>
#include <cstdint>

namespace PtcFormat {

constexpr char kTag[4] = {'P', 'T', 'C', ' '};
constexpr uint32_t kVersion = 1;
constexpr size_t kNameBytes = 64;

constexpr uint32_t kMaxAtlases = 64;
constexpr uint32_t kMaxFrames = 1024;
constexpr uint32_t kMaxEmitters = 4096;
constexpr uint32_t kMaxLayers = 8;
constexpr uint32_t kMaxKeys = 16;
// One layer's particle capacity; the file's total is capped as well, so no file can ask for
// more memory than a few effects need.
constexpr uint32_t kMaxCapacity = 20000;
constexpr uint64_t kMaxTotalCapacity = 200000;

// The fewest bytes each record can take, so that a count is checked against the bytes left
// before anything is allocated for it.
constexpr size_t kSmallestAtlasBytes = 1 + 3 * 4;         // empty name, sizes, no frames
constexpr size_t kFrameBytes = 4 * 4;
constexpr size_t kSmallestEmitterBytes = 2 + 2 + 2 * 4 + 4;  // empty names, flags, times, no layers
constexpr size_t kSmallestLayerBytes = 3 * 4 + 4 + 3 * 4 + 2 * 4 + 11 * 4 + 2 * 4;  // no keys
constexpr size_t kSizeKeyBytes = 2 * 4;
constexpr size_t kColourKeyBytes = 5 * 4;

enum EFrameMode : uint8_t { kFrameRandom = 0, kFrameOverLife = 1 };
enum EShape : uint8_t { kShapePoint = 0, kShapeBox = 1, kShapeCircle = 2 };

}  // namespace PtcFormat
