#pragma once
// What every concrete shader shares: the sampler-state list, the primitive codes of its
// batches, and the shader section of a material file:
//
//   LABEL "diffuse texture name"
//   LABEL NUMBER                     (material version 1.01 and later; not used)
//   LABEL U-ADDRESS-LINE             first letter: W wrap, M mirror, C clamp, B border
//   LABEL V-ADDRESS-LINE
//   ONE-MORE-LINE                    (not used)
//   LABEL FILTER                     0 point, anything else linear
//   LABEL m00 m10 m20                texture-coordinate transform, u column
//   LABEL m01 m11 m21                v column

#include <cstdint>
#include <vector>

class CParser;

struct SSamplerState {
  uint32_t type, value;
};

// The sampler states a shader sets on its diffuse sampler, in the order they were built.
struct SamplerStateList {
  SamplerStateList() { states.reserve(10); }
  std::vector<SSamplerState> states;
};

uint32_t AddressModeFromLetter(char letter);
void BuildAddressStates(SamplerStateList* list, char uLetter, char vLetter);
void BuildFilterStates(SamplerStateList* list, int filterFlag);
// Primitive code to device primitive type; an unknown code is fatal.
uint32_t ToD3DPrimitiveType(uint32_t code);
// The whole triangles that many vertices make as a device list, strip or fan (0 when too few).
uint32_t TriangleCount(uint32_t primitiveType, uint32_t vertices);
// Sets every state of the list on one sampler.
void ApplySamplerStates(uint32_t sampler, const SamplerStateList& list);

// u' = u*m[0][0] + v*m[1][0] + m[2][0], v' = u*m[0][1] + v*m[1][1] + m[2][1].
struct STexCoordTransform {
  float m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 0}};
  void Apply(float u, float v, float* outU, float* outV) const;
};

struct SShaderSection {
  char textureName[256] = {};
  SamplerStateList samplers;
  STexCoordTransform transform;
};

// Reads the shader section from a material's parser, positioned after the kind name. False
// when the material's lines end in a bare line feed: its address lines then run on into the
// rest of the file, so the section keeps the texture name with wrap addressing, point
// filtering and the texture coordinates as they are.
bool ReadShaderSection(CParser& parser, float version, SShaderSection* section);
