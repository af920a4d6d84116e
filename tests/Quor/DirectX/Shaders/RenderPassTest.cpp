// Render passes: the registry, which shaders draw while a pass is current, and the shadow-map
// pass drawing casters into its map from the light's camera and handing the target back.

#include <memory>
#include <vector>

#include "Quor/CViewCamera.h"
#include "Quor/DirectX/CShader_Texture1DX.h"
#include "tests/Quor/DirectX/Shaders/BuiltInShaderKit.h"

using namespace builtinshadertest;

namespace {

class CNamedPass : public CRenderPass {
 public:
  explicit CNamedPass(const char* name) : CRenderPass(name) {}
  void Begin() override {}
  void End() override {}
};

class RenderPassTest : public CBuiltInShaderTest {
 protected:
  void TearDown() override {
    SetCurrentRenderPass(nullptr);
    CBuiltInShaderTest::TearDown();
  }
};

TEST_F(RenderPassTest, RegistryFindsByNameAndFillsAGapWithTheLastPass) {
  EXPECT_EQ(FindRenderPass(), nullptr);
  EXPECT_EQ(GetCurrentRenderPass(), nullptr);
  auto* first = new CNamedPass("Reflection");
  CNamedPass second("Glow"), third("Outline");
  EXPECT_EQ(FindRenderPass("glow"), &second);
  EXPECT_EQ(FindRenderPass(), nullptr) << "no pass is called ShadowMap";
  SetCurrentRenderPass(first);
  delete first;
  EXPECT_EQ(GetRenderPassCount(), 2u);
  EXPECT_EQ(GetRenderPassAt(0), &third);
  EXPECT_EQ(GetCurrentRenderPass(), nullptr) << "a destroyed pass is no longer current";
}

TEST_F(RenderPassTest, APassBeyondTheSixteenthIsReportedAndLeftOutOfTheRegistry) {
  std::vector<std::string> names;
  for (uint32_t i = 0; i < kMaxRenderPasses; ++i) names.push_back("Glow" + std::to_string(i));
  std::vector<std::unique_ptr<CNamedPass>> passes;
  for (const std::string& name : names) passes.push_back(std::make_unique<CNamedPass>(name.c_str()));
  {
    CNamedPass extra("ShadowMap");
    EXPECT_FALSE(extra.IsRegistered());
    EXPECT_NE(m_reports.All().find("Render pass \"ShadowMap\" cannot be registered: 16 passes are the most"),
              std::string::npos)
        << m_reports.All();
    EXPECT_EQ(FindRenderPass(), nullptr);
  }
  EXPECT_EQ(GetRenderPassCount(), kMaxRenderPasses) << "the pass left out takes no other pass with it";
  passes.clear();
  EXPECT_EQ(GetRenderPassCount(), 0u);
}

TEST_F(RenderPassTest, OnlyShadowCastersDrawInTheShadowMapPass) {
  Solid("White.bmp", {255, 255, 255, 255});
  CRenderPassShadowMap shadowPass(kShadowMapPassName, 64, 1.0f, 1.0f, 100.0f);
  CNamedPass otherPass("Glow");
  CShader* caster = LoadMaterial("Rock", Material("Texture1", "White.bmp"));
  CShader* projected = LoadMaterial("Floor", Material("TexProj", "White.bmp"));
  SetCurrentRenderPass(&shadowPass);
  EXPECT_TRUE(caster->IsActiveInPass());
  EXPECT_TRUE(static_cast<CShader_Texture1DX*>(caster)->GetCore().IsCasting());
  EXPECT_FALSE(projected->IsActiveInPass());
  SetCurrentRenderPass(&otherPass);
  EXPECT_FALSE(caster->IsActiveInPass());
  EXPECT_FALSE(projected->IsActiveInPass());
  m_manager->ReleaseMaterial(caster);
  m_manager->ReleaseMaterial(projected);
}

TEST_F(RenderPassTest, CastersDarkenTheMapAndEndRestoresTargetAndCamera) {
  Solid("White.bmp", {255, 255, 255, 255});
  CRenderPassShadowMap shadowPass(kShadowMapPassName, 64, 1.0f, 1.0f, 100.0f);
  shadowPass.GetLightCamera().SetOrthographic(64, 64);
  shadowPass.GetLightCamera().LookAt({0, 0, 10, 1}, {0, 0, 0, 1}, {0, 1, 0, 0});
  CViewCamera viewer(1.0f, 1.0f, 100.0f, kAspectStandard, 1.0f);
  SetCurrentCamera(&viewer);
  CShader* caster = LoadMaterial("Rock", Material("Texture1", "White.bmp"));
  // The left half of the light's view.
  SDrawItem* batch = Quad(caster, -32, -32, 0.5f, 32.5f);

  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  SetCurrentRenderPass(&shadowPass);
  shadowPass.Begin();
  CollectionInit();
  AddToCollection(caster, batch);
  RenderSortedCollection();
  shadowPass.End();
  SetCurrentRenderPass(nullptr);
  ASSERT_EQ(m_device->EndScene(), GFX_OK);

  EXPECT_EQ(GetCurrentCamera(), &viewer);
  CGfxSurface* target = nullptr;
  ASSERT_EQ(m_device->GetRenderTarget(0, &target), GFX_OK);
  CGfxSurface* backBuffer = nullptr;
  ASSERT_EQ(m_device->GetBackBuffer(0, 0, &backBuffer), GFX_OK);
  EXPECT_EQ(target, backBuffer);
  target->Release();
  backBuffer->Release();

  CGfxSurface* map = nullptr;
  ASSERT_EQ(GetD3DTexture(GetShadowMapTexture())->GetSurfaceLevel(0, &map), GFX_OK);
  std::vector<uint8_t> rgba;
  ASSERT_EQ(m_device->ReadSurface(map, rgba), GFX_OK);
  map->Release();
  EXPECT_EQ(Pixel(rgba, 64, 16, 32), (SRgba{0, 0, 0, 255})) << "the caster's side";
  EXPECT_EQ(Pixel(rgba, 64, 48, 32), (SRgba{255, 255, 255, 255})) << "the cleared side";

  Free(caster, batch);
}

}  // namespace
