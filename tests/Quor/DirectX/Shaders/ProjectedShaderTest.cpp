// The projected-texture shader: a pattern projected onto a textured quad and read back, the
// address mode of each kind, a draw with no projected texture, and a batch overfilled.

#include "Quor/DirectX/CShader_Texture1ProjDX.h"
#include "tests/Quor/DirectX/Shaders/BuiltInShaderKit.h"

using namespace builtinshadertest;

namespace {

class ProjectedShaderTest : public CBuiltInShaderTest {
 protected:
  void SetUp() override {
    CBuiltInShaderTest::SetUp();
    Solid("White.bmp", {255, 255, 255, 255});
    // World positions of the square [8, 40) x [8, 40) to texture coordinates 0..1, with a w
    // of 2 that the lookup divides by.
    Matrix4& projector = *GetProjectorMatrix();
    projector = GetIdentityMatrix();
    projector.m[0] = projector.m[5] = 2.0f / 32;
    projector.m[10] = 0;
    projector.m[12] = projector.m[13] = -16.0f / 32;
    projector.m[15] = 2;
  }
};

TEST_F(ProjectedShaderTest, PatternIsProjectedOntoTheMesh) {
  const std::vector<SRgba> pattern = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
  SetProjectedTexture(Picture("Pattern.bmp", 2, 2, pattern));
  for (const auto& [kind, mode] : {std::pair{"TexProj", GFX_TADDRESS_CLAMP}, {"TexProjWrap", GFX_TADDRESS_WRAP}}) {
    CShader* shader = LoadMaterial(kind, Material(kind, "White.bmp"));
    SDrawItem* batch = Quad(shader, 8, 8, 40, 40, 0x00808080u);
    const std::vector<uint8_t> image = Draw(shader, batch);
    // The vertex colour halves the diffuse white; the pattern tints each quarter.
    EXPECT_TRUE(Near(Pixel(image, kSize, 16, 16), {128, 0, 0, 255})) << kind;
    EXPECT_TRUE(Near(Pixel(image, kSize, 32, 16), {0, 128, 0, 255})) << kind;
    EXPECT_TRUE(Near(Pixel(image, kSize, 16, 32), {0, 0, 128, 255})) << kind;
    EXPECT_TRUE(Near(Pixel(image, kSize, 32, 32), {128, 128, 128, 255})) << kind;
    EXPECT_EQ(Pixel(image, kSize, 50, 50), (SRgba{0, 0, 0, 255})) << kind;
    uint32_t u = 0, v = 0, diffuseU = 0;
    m_device->GetSamplerState(1, GFX_SAMP_ADDRESSU, &u);
    m_device->GetSamplerState(1, GFX_SAMP_ADDRESSV, &v);
    m_device->GetSamplerState(0, GFX_SAMP_ADDRESSU, &diffuseU);
    EXPECT_EQ(u, uint32_t(mode)) << kind;
    EXPECT_EQ(v, uint32_t(mode)) << kind;
    EXPECT_EQ(diffuseU, uint32_t(GFX_TADDRESS_CLAMP)) << "sampler 0 follows the material";
    Free(shader, batch);
  }
  EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
}

TEST_F(ProjectedShaderTest, NoProjectedTextureSkipsTheDraw) {
  CShader* shader = LoadMaterial("Floor", Material("TexProj", "White.bmp"));
  SDrawItem* batch = Quad(shader, 8, 8, 40, 40);
  EXPECT_EQ(Pixel(Draw(shader, batch, 0xFF102030u), kSize, 20, 20), (SRgba{0x10, 0x20, 0x30, 255}));
  Free(shader, batch);
}

TEST_F(ProjectedShaderTest, MoreVerticesThanTheBatchHoldsIsFatal) {
  CShader* shader = LoadMaterial("Floor", Material("TexProj", "White.bmp"));
  SDrawItem* batch = shader->CreateBatch(6, 2);
  for (int i = 0; i < 6; ++i) ASSERT_TRUE(shader->AddVertex(batch, Vertex(0, 0, 0, 0)));
  EXPECT_EXIT(shader->AddVertex(batch, Vertex(0, 0, 0, 0)), ::testing::ExitedWithCode(3),
              "Index exceeds supplied with DataInit");
  shader->CloseBatch(batch);
  EXPECT_EQ(shader->GetVertexCount(batch), 6u);
  Free(shader, batch);
}

}  // namespace
