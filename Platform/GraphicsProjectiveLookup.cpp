#include "Platform/GraphicsProjectiveLookup.h"

#include <map>

#include "Platform/GraphicsShaderTokens.h"

namespace {

using namespace gfxshader;

constexpr uint32_t kTexldProjectControl = 1;
constexpr uint32_t kPredicatedBit = 1u << 28;
constexpr uint32_t kRelativeBit = 1u << 13;
constexpr uint32_t kParameterBit = 1u << 31;

constexpr uint32_t kRegTemp = 0;
constexpr uint32_t kRegSampler = 10;
constexpr uint32_t kSamplerType2d = 2;

constexpr uint32_t kWriteAll = 0xFu << 16;
constexpr uint32_t kSwizzleShift = 16;
constexpr uint32_t kSwizzleMask = 0xFFu << kSwizzleShift;
constexpr uint32_t kIdentitySwizzle = 0xE4u << kSwizzleShift;

// The source token reading the same register as `source`, components (x, y, w, w) of its
// swizzle.
uint32_t WithXyww(uint32_t source) {
  const uint32_t swizzle = (source & kSwizzleMask) >> kSwizzleShift;
  const uint32_t x = swizzle & 3, y = (swizzle >> 2) & 3, w = (swizzle >> 6) & 3;
  const uint32_t xyww = x | y << 2 | w << 4 | w << 6;
  return (source & ~kSwizzleMask) | xyww << kSwizzleShift;
}

struct SShaderWalk {
  std::vector<size_t> projectiveLookups;  // token index of each texldp instruction
  std::map<uint32_t, uint32_t> samplerTypes;
  uint32_t spareTemp = 0;  // one past the highest temporary register any instruction names
};

// Walks the instructions; false when the code runs out before its end token.
bool Walk(const std::vector<uint32_t>& tokens, SShaderWalk& walk) {
  size_t i = 1;
  while (i < tokens.size()) {
    const uint32_t token = tokens[i];
    const uint32_t opcode = token & 0xFFFF;
    if (opcode == kOpEnd) return true;
    const size_t length = InstructionLength(token);
    if (length >= tokens.size() - i) return false;
    if (opcode == kOpDcl && length == 2 && RegisterType(tokens[i + 2]) == kRegSampler) {
      walk.samplerTypes[RegisterNumber(tokens[i + 2])] = (tokens[i + 1] >> 27) & 0xF;
    } else if (opcode != kOpComment && opcode != kOpDcl && opcode != kOpDef && opcode != kOpDefI &&
               opcode != kOpDefB) {
      // Every parameter of the remaining instructions is a register token.
      for (size_t k = 1; k <= length; ++k)
        if (RegisterType(tokens[i + k]) == kRegTemp && RegisterNumber(tokens[i + k]) >= walk.spareTemp)
          walk.spareTemp = RegisterNumber(tokens[i + k]) + 1;
    }
    if (opcode == kOpTexld && ((token >> 16) & 0xFF) == kTexldProjectControl) walk.projectiveLookups.push_back(i);
    i += 1 + length;
  }
  return false;
}

bool Is2dLookup(const std::vector<uint32_t>& tokens, size_t at, const SShaderWalk& walk) {
  const size_t length = (tokens[at] >> 24) & 0xF;
  for (size_t k = 1; k <= length; ++k) {
    if (RegisterType(tokens[at + k]) != kRegSampler) continue;
    const auto found = walk.samplerTypes.find(RegisterNumber(tokens[at + k]));
    return found != walk.samplerTypes.end() && found->second == kSamplerType2d;
  }
  return false;
}

}  // namespace

bool GfxRewriteProjectiveLookups(std::vector<uint32_t>& tokens, std::string& error) {
  if (tokens.empty() || (tokens[0] >> 16) != 0xFFFF || ((tokens[0] >> 8) & 0xFF) < 2) return true;
  SShaderWalk walk;
  if (!Walk(tokens, walk)) return true;

  std::vector<uint32_t> rewritten;
  rewritten.reserve(tokens.size() + 3 * walk.projectiveLookups.size());
  size_t copied = 0;
  for (size_t at : walk.projectiveLookups) {
    if (!Is2dLookup(tokens, at, walk)) continue;
    const uint32_t opcode = tokens[at];
    const size_t length = (opcode >> 24) & 0xF;
    if ((opcode & kPredicatedBit) || (length >= 2 && (tokens[at + 2] & kRelativeBit))) {
      error = "a projective 2D lookup (texldp) that is predicated or relatively addressed is not supported";
      return false;
    }
    if (length != 3) continue;  // malformed: the translator refuses it
    if (walk.spareTemp > kRegNumberMask) {
      error = "no temporary register is left for a projective 2D lookup (texldp)";
      return false;
    }
    const uint32_t coordinate = tokens[at + 2];
    rewritten.insert(rewritten.end(), tokens.begin() + copied, tokens.begin() + at);
    // mov rSpare, coordinate.xyww
    rewritten.push_back(kOpMov | 2u << 24);
    rewritten.push_back(kParameterBit | kWriteAll | walk.spareTemp);
    rewritten.push_back(WithXyww(coordinate));
    // texldp destination, rSpare, sampler
    rewritten.push_back(opcode);
    rewritten.push_back(tokens[at + 1]);
    rewritten.push_back(kParameterBit | kIdentitySwizzle | walk.spareTemp);
    rewritten.push_back(tokens[at + 3]);
    copied = at + 4;
  }
  if (copied == 0) return true;
  rewritten.insert(rewritten.end(), tokens.begin() + copied, tokens.end());
  tokens.swap(rewritten);
  return true;
}
