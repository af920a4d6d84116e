// Two checks in turn: the translator's own parse without code generation (structure: the
// version, instruction lengths and operand encodings, the end token), then a walk of our
// own over the registers, which that parse lets through but the fast profile asserts on:
// a register read whose type the shader kind cannot read, and an input, texture coordinate
// or sampler read without its declaration.

#include "Platform/GraphicsShaderCheck.h"

#include <mojoshader.h>

#include <set>
#include <utility>

#include "Platform/GraphicsShaderTokens.h"

namespace {

using namespace gfxshader;

// Register types (bits 28..30 and 11..12 of a register token).
enum : uint32_t {
  kTemp = 0,
  kInput = 1,
  kConst = 2,
  kAddrOrTexture = 3,  // a0 in a vertex shader, t# in a pixel shader
  kAttrOut = 4,
  kRastOut = 5,
  kOutput = 6,
  kConstInt = 7,
  kColorOut = 8,
  kDepthOut = 9,
  kSampler = 10,
  kConstBool = 14,
  kLoop = 15,
  kMiscType = 17,
  kLabel = 18,
  kPredicate = 19,
};

constexpr uint32_t Bit(uint32_t type) { return 1u << type; }

constexpr uint32_t kCommonReads = Bit(kTemp) | Bit(kInput) | Bit(kConst) | Bit(kConstInt) | Bit(kConstBool) |
                                  Bit(kLoop) | Bit(kLabel) | Bit(kPredicate) | Bit(kSampler);
constexpr uint32_t kVertexReads = kCommonReads | Bit(kAddrOrTexture);
constexpr uint32_t kPixelReads = kCommonReads | Bit(kAddrOrTexture) | Bit(kMiscType);
constexpr uint32_t kCommonWrites = Bit(kTemp) | Bit(kPredicate) | Bit(kConst) | Bit(kConstInt) | Bit(kConstBool) |
                                   Bit(kInput) | Bit(kSampler);
constexpr uint32_t kVertexWrites = kCommonWrites | Bit(kAddrOrTexture) | Bit(kAttrOut) | Bit(kRastOut) | Bit(kOutput);
constexpr uint32_t kPixelWrites =
    kCommonWrites | Bit(kAddrOrTexture) | Bit(kColorOut) | Bit(kDepthOut) | Bit(kMiscType);

// Instructions whose operands are all read (no destination register first).
bool HasNoDestination(uint32_t opcode) {
  switch (opcode) {
    case 0x00: case 0x19: case 0x1A: case 0x1B: case 0x1C: case 0x1D: case 0x1E: case 0x26: case 0x27:
    case 0x28: case 0x29: case 0x2A: case 0x2B: case 0x2C: case 0x2D: case 0x60:
      return true;
    default:
      return false;
  }
}

bool ParsesInTranslator(const std::vector<uint32_t>& tokens, std::string& error) {
  const MOJOSHADER_parseData* data =
      MOJOSHADER_parse(MOJOSHADER_PROFILE_BYTECODE, "main", reinterpret_cast<const unsigned char*>(tokens.data()),
                       static_cast<unsigned>(tokens.size() * 4), nullptr, 0, nullptr, 0, nullptr, nullptr, nullptr);
  const bool parsed = data && data->error_count == 0;
  if (!parsed) {
    error = data && data->error_count > 0 ? data->errors[0].error : "out of memory";
    if (data && data->error_count > 0 && data->errors[0].error_position >= 0)
      error += " (at byte " + std::to_string(data->errors[0].error_position) + ")";
  }
  MOJOSHADER_freeParseData(data);
  return parsed;
}

class CRegisterWalk {
 public:
  CRegisterWalk(const std::vector<uint32_t>& tokens, bool pixel) : m_tokens(tokens), m_pixel(pixel) {}

  bool Check(std::string& error) {
    for (size_t i = 1; i < m_tokens.size();) {
      const uint32_t opcode = m_tokens[i] & 0xFFFF;
      if (opcode == kOpEnd) return true;
      const size_t length = InstructionLength(m_tokens[i]);
      if (length >= m_tokens.size() - i) return Fail(i, "an instruction runs past the end of the code", error);
      if (opcode != kOpComment && !CheckInstruction(i, opcode, length, error)) return false;
      i += 1 + length;
    }
    error = "the code has no end token";
    return false;
  }

 private:
  bool CheckInstruction(size_t at, uint32_t opcode, size_t length, std::string& error) {
    if (length == 0) return true;
    if (opcode == kOpDcl) {
      if (length < 2) return Fail(at, "a declaration without its register", error);
      const uint32_t reg = m_tokens[at + 2];
      m_declared.insert({RegisterType(reg), RegisterNumber(reg)});
      return CheckType(at + 2, m_pixel ? kPixelWrites : kVertexWrites, "declares", error);
    }
    size_t first = 1;
    if (!HasNoDestination(opcode)) {
      if (!CheckType(at + 1, m_pixel ? kPixelWrites : kVertexWrites, "writes", error)) return false;
      if (opcode == kOpDef || opcode == kOpDefI || opcode == kOpDefB) return true;  // literals follow
      first = 2;
    }
    for (size_t k = first; k <= length; ++k) {
      if (!CheckRead(at + k, error)) return false;
    }
    return true;
  }

  bool CheckRead(size_t at, std::string& error) {
    if (!CheckType(at, m_pixel ? kPixelReads : kVertexReads, "reads", error)) return false;
    const uint32_t type = RegisterType(m_tokens[at]);
    const bool needsDeclaration = type == kInput || (m_pixel && (type == kAddrOrTexture || type == kSampler));
    if (needsDeclaration && !m_declared.count({type, RegisterNumber(m_tokens[at])}))
      return Fail(at, "reads register " + Describe(m_tokens[at]) + " without declaring it", error);
    return true;
  }

  bool CheckType(size_t at, uint32_t allowed, const char* verb, std::string& error) {
    if (allowed & Bit(RegisterType(m_tokens[at]))) return true;
    return Fail(at,
                std::string(verb) + " register " + Describe(m_tokens[at]) + ", not allowed in a " +
                    (m_pixel ? "pixel" : "vertex") + " shader",
                error);
  }

  static std::string Describe(uint32_t token) {
    return "type " + std::to_string(RegisterType(token)) + " number " + std::to_string(RegisterNumber(token));
  }

  static bool Fail(size_t at, const std::string& what, std::string& error) {
    error = "token " + std::to_string(at) + " " + what;
    return false;
  }

  const std::vector<uint32_t>& m_tokens;
  const bool m_pixel;
  std::set<std::pair<uint32_t, uint32_t>> m_declared;
};

}  // namespace

bool GfxCheckShaderByteCode(const std::vector<uint32_t>& tokens, bool pixel, std::string& error) {
  if (!ParsesInTranslator(tokens, error)) return false;
  // Shader model 1 has no declarations; the translator's parse is all it gets.
  if (((tokens[0] >> 8) & 0xFF) < 2) return true;
  return CRegisterWalk(tokens, pixel).Check(error);
}
