// The particle code's draw and texture slots filled by the engine: textures through the
// texture manager, triangle lists through the draw layer under the camera's transform.

#include "tests/Quor/Render/RenderTestKit.h"

#include <algorithm>

#include "Common/Particles/ParticleDrawServices.h"
#include "Common/Particles/ParticleServices.h"
#include "Quor/MatrixTable.h"

using namespace rendertest;

namespace {

class ParticleDrawServicesTest : public CRenderFixture {
 protected:
  void SetUp() override {
    CRenderFixture::SetUp();
    InstallParticleDrawServices();
  }
  void TearDown() override {
    GetParticleServices() = SParticleServices();
    CRenderFixture::TearDown();
  }
};

TEST_F(ParticleDrawServicesTest, MaterialTexturesComeFromTheTextureManagerAndAMissingOneIsNull) {
  WriteContent("Textures/spark.mpt", MptFile(1, 1, Solid(1, 1, {255, 255, 255, 255})));
  const SParticleServices& services = GetParticleServices();
  TextureRecord* spark = services.loadTexture("spark.mpt");
  ASSERT_NE(spark, nullptr);
  EXPECT_EQ(services.loadTexture("SPARK.MPT"), spark);
  EXPECT_EQ(spark->referenceCount, 2u);
  EXPECT_EQ(services.loadTexture("smoke.mpt"), nullptr);
  EXPECT_TRUE(Reported("Texture \"Textures\\smoke.mpt\" not found."));
  services.releaseTexture(spark);
  services.releaseTexture(spark);
  EXPECT_EQ(m_manager->GetTextureCount(), 0u);
}

TEST_F(ParticleDrawServicesTest, TriangleListsAreDrawnInTheWorldWithTheirBlend) {
  const SParticleServices& services = GetParticleServices();
  TextureRecord* white = m_manager->CreateTexture("ID$white", 1, 1, Solid(1, 1, {255, 255, 255, 255}).data(), false, false);
  // A camera whose view and projection map pixels (y down) to clip space.
  Matrix4 projection;
  const float m[16] = {2.0f / kSize, 0, 0, 0, 0, -2.0f / kSize, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1};
  std::copy(m, m + 16, projection.m);
  ResetTransforms();
  SetProjection(projection);
  services.setWorldMatrix(GetIdentityMatrix());

  // Two quads of two triangles: opaque green, and half-transparent white added on top.
  auto quad = [](float x0, float x1, uint32_t colour, SParticleVertex* out) {
    const SParticleVertex a{x0, 8, 0.5f, colour, 0, 0}, b{x1, 8, 0.5f, colour, 1, 0}, c{x1, 24, 0.5f, colour, 1, 1},
        d{x0, 24, 0.5f, colour, 0, 1};
    const SParticleVertex list[6] = {a, b, c, a, c, d};
    std::copy(list, list + 6, out);
  };
  SParticleVertex green[6], glow[6];
  quad(7.5f, 23.5f, 0xFF00FF00, green);
  quad(15.5f, 31.5f, 0x80FFFFFF, glow);
  BeginFrame();
  SParticleDrawCall call;
  call.texture = white;
  call.blend = EParticleBlend::Transparent;
  call.depthTest = false;
  call.vertices = green;
  call.vertexCount = 6;
  services.drawTriangleList(call);
  call.blend = EParticleBlend::Add;
  call.vertices = glow;
  services.drawTriangleList(call);
  const std::vector<uint8_t> rgba = EndFrame();
  EXPECT_EQ(Pixel(rgba, kSize, 10, 16), (SRgba{0, 255, 0, 255}));
  const SRgba added = Pixel(rgba, kSize, 20, 16), alone = Pixel(rgba, kSize, 28, 16);
  EXPECT_EQ(added.g, 255);
  EXPECT_NEAR(added.r, 128, 1);
  EXPECT_NEAR(alone.r, 128, 1);
  EXPECT_EQ(Pixel(rgba, kSize, 40, 16), (SRgba{0, 0, 0, 255}));
}

}  // namespace
