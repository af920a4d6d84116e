// Damaged shader byte code is refused with a report before translation; the fast profile's
// translation stops the program on its own assertions when such code reaches it. The
// damages are those a damaged copy of the blur effect carried to such a stop.

#include <fstream>
#include <sstream>

#include "Platform/GraphicsReport.h"
#include "Platform/GraphicsShaderCheck.h"
#include "tests/Platform/GfxTestSupport.h"

using namespace gfxtest;

namespace {

std::string ShaderSource(const std::string& name) {
  std::ifstream in(std::string(HM_SOURCE_DIR) + "/content/Shaders/" + name);
  EXPECT_TRUE(in) << name;
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// One token of a shipped shader replaced; `was` pins the token so that a change of the
// shader shows here instead of testing some other damage.
struct SDamage {
  const char* what;
  const char* shader;
  size_t token;
  uint32_t was, becomes;
  const char* reason;  // a part of the report: the translator's words or our own
};

const SDamage kDamages[] = {
    {"a constant definition with no operands", "Blur.psh", 24, 0x05000051, 0x00000051, "wrong token count"},
    {"a constant definition with a result shift", "Blur.psh", 24, 0x05000051, 0x05000451, "unknown token"},
    {"the declaration of t1 made an integer constant", "Blur.psh", 44, 0xB0030001, 0xFF030001, "Result shift scale"},
    {"the declaration of t0 made a temporary", "Blur.psh", 41, 0xB0030000, 0x00030000, "Reserved bit #2 in destination token"},
    {"the second texture coordinate read without its declaration", "Blur.psh", 44, 0xB0030001, 0xB0030002,
     "token 55 reads register type 3 number 1 without declaring it"},
    {"a vertex shader reading an output register", "BlurDown.vsh", 39, 0xA0E40001, 0xD00F0001,
     "token 39 reads register type 5 number 1, not allowed in a vertex shader"},
    {"a pixel shader reading its colour output", "Blur.psh", 55, 0xB0E40001, 0x80E40800,
     "token 55 reads register type 8 number 0, not allowed in a pixel shader"},
    {"the end token cut off", "BlurDown.vsh", 40, 0x0000FFFF, 0x00000000, "has no end token"},
};

TEST(GraphicsShaderCheck, ShippedShadersPass) {
  for (const char* name : {"Blend.psh", "Blur.psh", "BlurAcross.vsh", "BlurDown.vsh", "Caster.psh", "Diffuse.psh",
                           "DiffuseShadowed.psh", "EnvMapped.psh", "EnvMappedShadowed.psh", "Grayscale.psh",
                           "Mesh.vsh", "MeshCaster.vsh", "Projected.psh", "Projected.vsh", "ScreenQuad.vsh",
                           "SkinnedCaster.vsh", "SkinnedMesh.vsh", "SkinnedShadowed.psh"}) {
    const auto code = Assemble(ShaderSource(name).c_str());
    std::string error;
    EXPECT_TRUE(GfxCheckShaderByteCode(code, std::string(name).find(".psh") != std::string::npos, error))
        << name << ": " << error;
  }
}

class GraphicsShaderRefusal : public CGfxFixture {};

TEST_F(GraphicsShaderRefusal, DamagedBlurCodeIsRefusedWithAReport) {
  for (const SDamage& damage : kDamages) {
    SCOPED_TRACE(damage.what);
    auto code = Assemble(ShaderSource(damage.shader).c_str());
    ASSERT_LT(damage.token, code.size());
    ASSERT_EQ(code[damage.token], damage.was) << std::hex << code[damage.token];
    code[damage.token] = damage.becomes;
    const bool pixel = std::string(damage.shader).find(".psh") != std::string::npos;
    CGfxShader* shader = nullptr;
    const uint32_t result = pixel ? m_device->CreatePixelShader(code.data(), code.size() * 4, &shader)
                                  : m_device->CreateVertexShader(code.data(), code.size() * 4, &shader);
    EXPECT_EQ(result, uint32_t(GFX_ERR_INVALID_CALL));
    EXPECT_EQ(shader, nullptr);
    const std::string report = GfxLastReport();
    EXPECT_NE(report.find("Shader byte code refused"), std::string::npos) << report;
    EXPECT_NE(report.find(damage.reason), std::string::npos) << report;
  }
}

}  // namespace
