#pragma once
// The layout of compiled effect files (".fxc"), shared by the engine's reader (CCompiledFx)
// and fxtool's writer.
//
// Little-endian; strings zero-terminated, at most 255 characters kept:
//   tag (4 bytes, not compared; written "FXC "), version u16 (0x100 or 0x101), technique count
//   u32, then per technique: name, pass count u32, passes. A pass: in version 0x101 first a
//   render-state count u32 with (u32, u32) pairs and two triple lists, each a count u32 with
//   (u32, u32, u32) triples; then the vertex part, the pixel part and, when the pixel part
//   has byte code, a sampler-binding count u32 with (name, u32 sampler index) pairs.
//   A shader part: byte-code size u32 (0 only for a pixel part, which then ends there),
//   the byte code, three parameter lists, each a count u32 with records of name,
//   register u32, second value u32, data size u32 and the data.

#include <cstddef>
#include <cstdint>

constexpr char kFxTag[4] = {'F', 'X', 'C', ' '};
constexpr size_t kFxTagSize = sizeof kFxTag;

constexpr uint16_t kFxVersionPlain = 0x100;
constexpr uint16_t kFxVersionWithStates = 0x101;
constexpr int kFxParameterListCount = 3;
constexpr size_t kFxStringCapacity = 256;

// Words of a render-state pair and of a state triple.
constexpr size_t kFxStatePairWords = 2;
constexpr size_t kFxStateTripleWords = 3;

// Smallest sizes of the records a count announces, so a count is checked against the bytes
// that are left before anything is allocated for it.
constexpr size_t kFxMinTechniqueSize = 1 + 4;
constexpr size_t kFxMinPassSize = 4 + 4;
constexpr size_t kFxMinParameterSize = 1 + 4 + 4 + 4;
constexpr size_t kFxMinSamplerSize = 1 + 4;
