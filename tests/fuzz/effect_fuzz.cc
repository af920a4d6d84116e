// Compiled effect files, read without a device as the tools do (the shaders are made when a
// device comes), then looked up as the built-in shaders do.

#include "Quor/DirectX/CCompiledFx.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzOneInput(const uint8_t* data, size_t size) {
  SFxEffect effect;
  if (!CCompiledFx::LoadFromBytes(&effect, std::vector<uint8_t>(data, data + size), "Fuzz.fxc")) return;
  for (const SFxTechnique& technique : effect.techniques) {
    const SFxPass* pass = GetPass(FindTechnique(&effect, technique.name.c_str()), 0);
    if (!pass) continue;
    FindVertexParameter(pass, "WorldViewProj");
    FindPixelParameter(pass, "Colour");
    FindSamplerBinding(pass, "Diffuse");
  }
}
