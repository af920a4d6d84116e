// Projective texture lookups (texldp) drawn through the device: the coordinate is divided by
// its w before sampling, whatever its z holds.

#include "Platform/GraphicsProjectiveLookup.h"
#include "Platform/GraphicsReport.h"
#include "tests/Platform/GfxTestSupport.h"

using namespace gfxtest;

namespace {

// Position, and projective texture coordinates (u w, v w, z, w).
struct SProjectiveVertex {
  float x, y, z;
  float s, t, r, q;
};

const SGfxVertexElement kProjectiveElements[] = {
    {0, 0, GFX_DECLTYPE_FLOAT3, 0, GFX_DECLUSAGE_POSITION, 0},
    {0, 12, GFX_DECLTYPE_FLOAT4, 0, GFX_DECLUSAGE_TEXCOORD, 1},
    GFX_DECL_END(),
};

const char* const kProjectiveVs =
    "vs_2_0\n"
    "dcl_position v0\n"
    "dcl_texcoord1 v1\n"
    "mul r0, v0.x, c0\n"
    "mad r0, v0.y, c1, r0\n"
    "mad r0, v0.z, c2, r0\n"
    "mad oPos, v0.w, c3, r0\n"
    "mov oT1, v1\n";

// Two lookups averaged: one from the texture coordinate register, one from a temporary
// register holding the same coordinate. r2 must still read 0 after the lookups: a rewrite
// of the lookups has to keep clear of the temporaries in use.
const char* const kProjectivePs =
    "ps_2_0\n"
    "def c0, 0.5, 0.5, 0.5, 0.5\n"
    "def c1, 0, 0, 0, 0\n"
    "dcl t1\n"
    "dcl_2d s2\n"
    "mov r3, t1\n"
    "mov r2, c1\n"
    "texldp r0, t1, s2\n"
    "texldp r1, r3, s2\n"
    "mul r0, r0, c0\n"
    "mad r0, r1, c0, r0\n"
    "add r0, r0, r2\n"
    "mov oC0, r0\n";

class GraphicsProjectiveLookup : public CGfxFixture {
 protected:
  void SetUp() override {
    CGfxFixture::SetUp();
    const auto vs = Assemble(kProjectiveVs), ps = Assemble(kProjectivePs);
    ASSERT_EQ(m_device->CreateVertexShader(vs.data(), vs.size() * 4, &m_projectiveVs), GFX_OK);
    ASSERT_EQ(m_device->CreatePixelShader(ps.data(), ps.size() * 4, &m_projectivePs), GFX_OK);
    ASSERT_EQ(m_device->CreateVertexDeclaration(kProjectiveElements, &m_projectiveDecl), GFX_OK);
    Hold(m_projectiveVs), Hold(m_projectivePs), Hold(m_projectiveDecl);
  }

  // Draws the texture over pixels [16, 48) x [16, 48) with every coordinate scaled by w.
  void DrawProjected(CGfxTexture* texture, float z, float w) {
    float matrix[16];
    PixelMatrix(kSize, kSize, matrix);
    ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), GFX_OK);
    ASSERT_EQ(m_device->BeginScene(), GFX_OK);
    ASSERT_EQ(m_device->SetVertexDeclaration(m_projectiveDecl), GFX_OK);
    ASSERT_EQ(m_device->SetVertexShader(m_projectiveVs), GFX_OK);
    ASSERT_EQ(m_device->SetPixelShader(m_projectivePs), GFX_OK);
    ASSERT_EQ(m_device->SetVertexShaderConstantF(0, matrix, 4), GFX_OK);
    ASSERT_EQ(m_device->SetTexture(2, texture), GFX_OK);
    ASSERT_EQ(m_device->SetSamplerState(2, GFX_SAMP_ADDRESSU, GFX_TADDRESS_CLAMP), GFX_OK);
    ASSERT_EQ(m_device->SetSamplerState(2, GFX_SAMP_ADDRESSV, GFX_TADDRESS_CLAMP), GFX_OK);
    const float x0 = 15.5f, y0 = 15.5f, x1 = 47.5f, y1 = 47.5f;
    const SProjectiveVertex v[4] = {{x0, y0, 0.5f, 0, 0, z, w},
                                    {x1, y0, 0.5f, w, 0, z, w},
                                    {x1, y1, 0.5f, w, w, z, w},
                                    {x0, y1, 0.5f, 0, w, z, w}};
    static const uint16_t indices[6] = {0, 1, 2, 2, 3, 0};
    ASSERT_EQ(m_device->DrawIndexedPrimitiveUP(GFX_PT_TRIANGLELIST, 0, 4, 2, indices, GFX_FMT_INDEX16, v,
                                               sizeof(SProjectiveVertex)),
              GFX_OK);
    ASSERT_EQ(m_device->EndScene(), GFX_OK);
  }

  CGfxShader* m_projectiveVs = nullptr;
  CGfxShader* m_projectivePs = nullptr;
  CGfxVertexDeclaration* m_projectiveDecl = nullptr;
};

TEST_F(GraphicsProjectiveLookup, LookupDividesByWAndIgnoresZ) {
  // 4 x 4 texels over 32 x 32 pixels: each texel fills an 8 x 8 block. A lookup that divided
  // by z, or not at all, would stretch, shrink or clamp the pattern to one corner.
  std::vector<uint32_t> texels(16);
  for (uint32_t i = 0; i < 16; ++i) texels[i] = 0xFF000000u | (i % 4) * 0x40 << 16 | (i / 4) * 0x40 << 8 | 0x80;
  CGfxTexture* texture = MakeTexture(4, 4, texels);
  struct SCase {
    float z, w;
  };
  for (const SCase& c : {SCase{0, 1}, SCase{0, 2}, SCase{3, 0.5f}, SCase{-1, 4}, SCase{2, 2}}) {
    DrawProjected(texture, c.z, c.w);
    const auto pixels = ReadBack();
    for (int ty = 0; ty < 4; ++ty)
      for (int tx = 0; tx < 4; ++tx) {
        const uint32_t t = texels[ty * 4 + tx];
        const SRgba want = {uint8_t(t >> 16), uint8_t(t >> 8), uint8_t(t), 255};
        for (const auto& [dx, dy] : {std::pair{1, 1}, {6, 6}, {1, 6}})
          ASSERT_EQ(Pixel(pixels, kSize, 16 + tx * 8 + dx, 16 + ty * 8 + dy), want)
              << "texel " << tx << ", " << ty << " with z " << c.z << ", w " << c.w;
      }
    EXPECT_EQ(Pixel(pixels, kSize, 15, 15), (SRgba{0, 0, 0, 255}));
    EXPECT_EQ(Pixel(pixels, kSize, 48, 48), (SRgba{0, 0, 0, 255}));
  }
}

TEST_F(GraphicsProjectiveLookup, PredicatedLookupIsRefusedWithAReport) {
  auto code = Assemble(kProjectivePs);
  for (uint32_t& token : code)
    if ((token & 0xFFFF) == 0x42) token |= 1u << 28;
  CGfxShader* shader = nullptr;
  EXPECT_EQ(m_device->CreatePixelShader(code.data(), code.size() * 4, &shader), GFX_ERR_INVALID_CALL);
  EXPECT_EQ(shader, nullptr);
  EXPECT_NE(std::string(GfxLastReport()).find("texldp"), std::string::npos) << GfxLastReport();
}

// The rewrite alone, on assembled byte code.
std::string PixelShader(const char* samplerDecl, const char* body) {
  return std::string("ps_2_0\ndcl t0\n") + samplerDecl + "\n" + body + "mov oC0, r0\n";
}

size_t ProjectiveLookups(const std::vector<uint32_t>& code) {
  size_t count = 0;
  for (uint32_t token : code) count += (token & 0xFFFF) == 0x42 && ((token >> 16) & 0xFF) == 1;
  return count;
}

TEST(GraphicsProjectiveLookupRewrite, OnlyProjective2dLookupsOfPixelShadersAreRewritten) {
  struct SCase {
    std::string source;
    size_t rewrittenLookups;
  };
  const SCase cases[] = {
      {PixelShader("dcl_2d s0", "texldp r0, t0, s0\n"), 1},
      {PixelShader("dcl_2d s0\ndcl_cube s1", "texldp r0, t0, s0\ntexldp r1, t0, s1\ntexldp r0, r1, s0\n"), 2},
      {PixelShader("dcl_2d s0", "texld r0, t0, s0\n"), 0},
      {PixelShader("dcl_cube s0", "texldp r0, t0, s0\n"), 0},
      {PixelShader("dcl_volume s0", "texldp r0, t0, s0\n"), 0},
      {"vs_2_0\ndcl_position v0\nmov oPos, v0\n", 0},
  };
  for (const SCase& c : cases) {
    const auto original = Assemble(c.source.c_str());
    auto code = original;
    std::string error;
    ASSERT_TRUE(GfxRewriteProjectiveLookups(code, error)) << c.source << error;
    // Each rewritten lookup gains a three-token copy of its coordinate; the lookups stay.
    EXPECT_EQ(code.size(), original.size() + 3 * c.rewrittenLookups) << c.source;
    EXPECT_EQ(ProjectiveLookups(code), ProjectiveLookups(original)) << c.source;
    if (c.rewrittenLookups == 0) {
      EXPECT_EQ(code, original) << c.source;
    }
  }
}

TEST(GraphicsProjectiveLookupRewrite, DamagedCodeIsLeftForTheTranslator) {
  // Cut short anywhere, or with an instruction claiming more tokens than there are, the
  // code is handed on untouched (the translator then refuses it) and never read past.
  const auto whole = Assemble(PixelShader("dcl_2d s0", "texldp r0, t0, s0\n").c_str());
  for (size_t size = 0; size < whole.size(); ++size) {
    std::vector<uint32_t> code(whole.begin(), whole.begin() + size);
    const auto before = code;
    std::string error;
    EXPECT_TRUE(GfxRewriteProjectiveLookups(code, error)) << size;
    EXPECT_EQ(code, before) << size;
  }
  for (size_t i = 1; i < whole.size(); ++i) {
    if ((whole[i] & 0xFFFF) != 0x42) continue;
    auto code = whole;
    code[i] |= 0xFu << 24;
    std::string error;
    EXPECT_TRUE(GfxRewriteProjectiveLookups(code, error));
    code[i] = whole[i];
    EXPECT_EQ(code, whole);
  }
}

}  // namespace
