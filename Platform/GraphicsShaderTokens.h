#pragma once
// Reading shader byte code (shader model 2 and later): a version token, then instructions
// (an opcode token whose bits 24..27 count the parameter tokens that follow) and comments
// (bits 16..30 count the comment's tokens), then the end token.

#include <cstddef>
#include <cstdint>

namespace gfxshader {

constexpr uint32_t kOpMov = 0x01;
constexpr uint32_t kOpDcl = 0x1F;
constexpr uint32_t kOpDefB = 0x2F;
constexpr uint32_t kOpDefI = 0x30;
constexpr uint32_t kOpTexld = 0x42;
constexpr uint32_t kOpDef = 0x51;
constexpr uint32_t kOpComment = 0xFFFE;
constexpr uint32_t kOpEnd = 0xFFFF;

constexpr uint32_t kRegNumberMask = 0x7FF;

inline uint32_t RegisterType(uint32_t token) { return ((token >> 28) & 0x7) | ((token >> 8) & 0x18); }
inline uint32_t RegisterNumber(uint32_t token) { return token & kRegNumberMask; }

// The count of tokens after an instruction or comment token.
inline size_t InstructionLength(uint32_t token) {
  return (token & 0xFFFF) == kOpComment ? (token >> 16) & 0x7FFF : (token >> 24) & 0xF;
}

}  // namespace gfxshader
