#include "Quor/DirectX/CShaderUtilsDx.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "Platform/GraphicsDevice.h"
#include "Quor/CParser.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/ReportError.h"

namespace {
constexpr const char* kCShaderUtilsDxSource = "Quor/DirectX/CShaderUtilsDx";
// Versions are compared with a little slack: 1.005 reads as 1.01.
constexpr float kVersionSlack = 0.005f;
constexpr float kVersionWithExtraLine = 1.01f;
}  // namespace

uint32_t AddressModeFromLetter(char letter) {
  switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'B': return GFX_TADDRESS_BORDER;
    case 'C': return GFX_TADDRESS_CLAMP;
    case 'M': return GFX_TADDRESS_MIRROR;
    default: return GFX_TADDRESS_WRAP;
  }
}

void BuildAddressStates(SamplerStateList* list, char uLetter, char vLetter) {
  list->states.push_back({GFX_SAMP_ADDRESSU, AddressModeFromLetter(uLetter)});
  list->states.push_back({GFX_SAMP_ADDRESSV, AddressModeFromLetter(vLetter)});
}

void BuildFilterStates(SamplerStateList* list, int filterFlag) {
  const bool linear = filterFlag != 0;
  list->states.push_back({GFX_SAMP_MINFILTER, linear ? GFX_TEXF_LINEAR : GFX_TEXF_POINT});
  list->states.push_back({GFX_SAMP_MAGFILTER, linear ? GFX_TEXF_LINEAR : GFX_TEXF_POINT});
  list->states.push_back({GFX_SAMP_MIPFILTER, linear ? GFX_TEXF_LINEAR : GFX_TEXF_NONE});
}

uint32_t ToD3DPrimitiveType(uint32_t code) {
  switch (code) {
    case 0: return GFX_PT_TRIANGLESTRIP;
    case 1: return GFX_PT_TRIANGLEFAN;
    case 2: return GFX_PT_TRIANGLELIST;
    default:
      HM_FATAL(kCShaderUtilsDxSource, "Unsupported primitive type");
  }
}

uint32_t TriangleCount(uint32_t primitiveType, uint32_t vertices) {
  if (primitiveType == GFX_PT_TRIANGLELIST) return vertices / 3;
  return vertices >= 3 ? vertices - 2 : 0;
}

void ApplySamplerStates(uint32_t sampler, const SamplerStateList& list) {
  CGfxDevice* device = GetD3DDevice();
  if (!device) return;
  for (const SSamplerState& state : list.states) device->SetSamplerState(sampler, state.type, state.value);
}

void STexCoordTransform::Apply(float u, float v, float* outU, float* outV) const {
  *outU = u * m[0][0] + v * m[1][0] + m[2][0];
  *outV = u * m[0][1] + v * m[1][1] + m[2][1];
}

namespace {

// A material's lines end in CR LF; a lone line feed is read as part of the line.
bool EndsInBareLineFeed(const char* line) { return std::strchr(line, '\n') != nullptr; }

}  // namespace

bool ReadShaderSection(CParser& parser, float version, SShaderSection* section) {
  parser.ReadWord();
  std::snprintf(section->textureName, sizeof section->textureName, "%s", parser.ReadQuoted());
  if (version + kVersionSlack >= kVersionWithExtraLine) {
    parser.ReadWord();
    parser.ReadFloat();
  }
  parser.ReadWord();
  const char* uLine = parser.ReadLine();
  const char uLetter = uLine[0];
  bool wellFormed = !EndsInBareLineFeed(uLine);
  parser.ReadWord();
  const char* vLine = parser.ReadLine();
  const char vLetter = vLine[0];
  wellFormed = wellFormed && !EndsInBareLineFeed(vLine) && !EndsInBareLineFeed(parser.ReadLine());
  parser.ReadWord();
  const int filter = parser.ReadInt();

  STexCoordTransform& t = section->transform;
  t = STexCoordTransform();
  section->samplers.states.clear();
  if (!wellFormed) {
    BuildAddressStates(&section->samplers, 'W', 'W');
    BuildFilterStates(&section->samplers, 0);
    return false;
  }
  BuildAddressStates(&section->samplers, uLetter, vLetter);
  BuildFilterStates(&section->samplers, filter);
  for (int column = 0; column < 2; ++column) {
    parser.ReadWord();
    for (int row = 0; row < 3; ++row) t.m[row][column] = parser.ReadFloat();
  }
  return true;
}
