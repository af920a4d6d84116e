// Device resources through a real loss: released, the device reset, restored, and drawn with.

#include "Quor/DirectX/CD3DDeviceResources.h"

#include <functional>
#include <string>
#include <vector>

#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/ReportError.h"
#include "tests/Platform/GfxTestSupport.h"
#include "tests/support/engine/ReportScope.h"

using namespace gfxtest;

namespace {

class DeviceResources : public CGfxFixture {
 protected:
  void SetUp() override {
    CGfxFixture::SetUp();
    SetD3DDevice(m_device);
  }
  void TearDown() override {
    DestroyAllDeviceResources();
    SetD3DDevice(nullptr);
    CGfxFixture::TearDown();
  }

  // The frame service's recovery, as it runs around a reset.
  void LoseAndRecover() {
    m_device->ForceDeviceLoss();
    ReleaseAllDeviceResources();
    EXPECT_FALSE(AreDeviceResourcesPresent());
    ASSERT_EQ(m_device->Reset(m_device->GetPresentParams()), GFX_OK);
    EXPECT_TRUE(RestoreAllDeviceResources());
    EXPECT_TRUE(AreDeviceResourcesPresent());
  }

  void DrawTexturedQuad(CGfxTexture* texture, CGfxVertexBuffer* vertices, CGfxIndexBuffer* indices,
                        CGfxShader* vs, CGfxShader* ps, CGfxVertexDeclaration* decl) {
    float matrix[16];
    PixelMatrix(kSize, kSize, matrix);
    ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), GFX_OK);
    ASSERT_EQ(m_device->BeginScene(), GFX_OK);
    m_device->SetVertexDeclaration(decl);
    m_device->SetVertexShader(vs);
    m_device->SetPixelShader(ps);
    m_device->SetVertexShaderConstantF(0, matrix, 4);
    m_device->SetTexture(0, texture);
    m_device->SetStreamSource(0, vertices, 0, sizeof(SVertex));
    m_device->SetIndices(indices);
    EXPECT_EQ(m_device->DrawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 0, 4, 0, 2), GFX_OK);
    ASSERT_EQ(m_device->EndScene(), GFX_OK);
    // The device holds bindings too; a reset needs them gone.
    m_device->SetTexture(0, nullptr);
    m_device->SetStreamSource(0, nullptr, 0, 0);
    m_device->SetIndices(nullptr);
  }
};

TEST_F(DeviceResources, LossReleasesAndRestoresEveryResourceWithItsContents) {
  const uint8_t texels[2 * 4] = {0x30, 0x20, 0x10, 0xFF, 0x60, 0x50, 0x40, 0xFF};  // B, G, R, A
  CResource_TextureMemory* texture = CreateMemoryTextureResource(2, 1, texels);
  CResource_RenderTargetTexture* target = CreateRenderTargetResource(16, 8);
  SVertex quad[4];
  Quad(0, 0, 2, 1, 0xFFFFFFFF, 0.5f, quad);
  CResource_VertexBuffer* fixed = CreateVertexBufferResource(quad, 0, sizeof quad);
  CResource_VertexBuffer* written = CreateVertexBufferResource(nullptr, 0, sizeof quad);
  CResource_IndexBuffer* indices = CreateQuadIndexBuffer();
  CResource_VertexDeclaration* decl = CreateVertexDeclarationResource(kVertexElements);
  const auto vsCode = Assemble(kTexturedVs), psCode = Assemble(kTexturedPs);
  CResource_VertexShader* vs = CreateVertexShaderResource(vsCode.data(), vsCode.size() * 4);
  CResource_PixelShader* ps = CreatePixelShaderResource(psCode.data(), psCode.size() * 4);
  CResource_ZBuffer* depth = CreateZBufferResource(16, 8);
  EXPECT_EQ(GetDeviceResourceCount(), 9u);
  for (CResource* each : std::initializer_list<CResource*>{texture, target, fixed, written, indices, decl, vs, ps, depth})
    ASSERT_NE(each, nullptr);
  ASSERT_TRUE(texture->Get() && target->Get() && fixed->Get() && written->Get() && indices->Get() && decl->Get() &&
              vs->Get() && ps->Get() && depth->Get());

  // Written through the device after creation: the buffer made without contents keeps it,
  // the one made with contents goes back to its creation copy; the texture keeps its texels.
  void* data = nullptr;
  ASSERT_EQ(written->Get()->Lock(0, 0, &data, 0), GFX_OK);
  Quad(2, 0, 4, 1, 0xFFFFFFFF, 0.5f, static_cast<SVertex*>(data));
  written->Get()->Unlock();
  ASSERT_EQ(fixed->Get()->Lock(0, 0, &data, 0), GFX_OK);
  std::memset(data, 0, sizeof quad);
  fixed->Get()->Unlock();
  SGfxLockedRect locked;
  ASSERT_EQ(texture->Get()->LockRect(0, &locked, nullptr, 0), GFX_OK);
  static_cast<uint8_t*>(locked.bits)[6] = 0x99;  // red of the second texel
  texture->Get()->UnlockRect(0);

  m_device->ForceDeviceLoss();
  ReleaseAllDeviceResources();
  EXPECT_FALSE(AreDeviceResourcesPresent());
  EXPECT_TRUE(!texture->Get() && !target->Get() && !fixed->Get() && !written->Get() && !indices->Get() &&
              !decl->Get() && !vs->Get() && !ps->Get() && !depth->Get());
  const uint32_t generation = m_device->GetContextGeneration();
  // Every default-pool object is gone, so the reset really drops and re-creates the context.
  ASSERT_EQ(m_device->Reset(m_device->GetPresentParams()), GFX_OK);
  EXPECT_EQ(m_device->GetContextGeneration(), generation + 1);
  RestoreAllDeviceResources();
  EXPECT_TRUE(AreDeviceResourcesPresent());
  EXPECT_EQ(target->Width(), 16u);
  EXPECT_EQ(target->Height(), 8u);

  DrawTexturedQuad(texture->Get(), fixed->Get(), indices->Get(), vs->Get(), ps->Get(), decl->Get());
  auto pixels = ReadBack();
  EXPECT_EQ(Pixel(pixels, kSize, 0, 0), (SRgba{0x10, 0x20, 0x30, 0xFF}));
  EXPECT_EQ(Pixel(pixels, kSize, 1, 0), (SRgba{0x99, 0x50, 0x60, 0xFF}));
  DrawTexturedQuad(texture->Get(), written->Get(), indices->Get(), vs->Get(), ps->Get(), decl->Get());
  pixels = ReadBack();
  EXPECT_EQ(Pixel(pixels, kSize, 2, 0), (SRgba{0x10, 0x20, 0x30, 0xFF}));
  EXPECT_EQ(Pixel(pixels, kSize, 0, 0), (SRgba{0, 0, 0, 0xFF}));

  // And a second loss finds everything in order again.
  LoseAndRecover();
  EXPECT_NE(depth->Get(), nullptr);
}

TEST_F(DeviceResources, QuadIndexBufferHoldsTwoTrianglesPerQuad) {
  CResource_IndexBuffer* indices = CreateQuadIndexBuffer();
  void* data = nullptr;
  ASSERT_EQ(indices->Get()->Lock(0, 0, &data, GFX_LOCK_READONLY), GFX_OK);
  const auto* table = static_cast<const uint16_t*>(data);
  const uint16_t first[12] = {0, 1, 2, 2, 3, 0, 4, 5, 6, 6, 7, 4};
  EXPECT_EQ(std::vector<uint16_t>(table, table + 12), std::vector<uint16_t>(first, first + 12));
  EXPECT_EQ(table[65535], 43690);
  indices->Get()->Unlock();
  SGfxBufferDesc desc;
  indices->Get()->GetDesc(&desc);
  EXPECT_EQ(desc.length, 131072u);
  EXPECT_EQ(desc.format, GFX_FMT_INDEX16);
}

TEST_F(DeviceResources, DestroyingRemovesFromTheListAndASecondDestroyIsFatal) {
  CResource_VertexBuffer* buffer = CreateVertexBufferResource(nullptr, 0, 48);
  CResource_VertexDeclaration* decl = CreateVertexDeclarationResource(kVertexElements);
  EXPECT_EQ(GetDeviceResourceCount(), 2u);
  DestroyDeviceResource(buffer);
  EXPECT_EQ(GetDeviceResourceCount(), 1u);
  LoseAndRecover();
  EXPECT_NE(decl->Get(), nullptr);
  EXPECT_EXIT(DestroyDeviceResource(buffer), ::testing::ExitedWithCode(3), "is not in the resource list");
}

TEST_F(DeviceResources, ServiceHookRunsBeforeEveryCreation) {
  static int calls = 0;
  calls = 0;
  SetDeviceServiceHandler([] { ++calls; });
  CreateRenderTargetResource(8, 8);
  CreateVertexBufferResource(nullptr, 0, 24);
  SetDeviceServiceHandler(nullptr);
  EXPECT_EQ(calls, 2);
}

TEST_F(DeviceResources, ObjectsTheDeviceRefusesAreReportedByNameAndNotHandedOut) {
  hmtest::CReportScope capture;
  const uint32_t junk[4] = {0xDEADBEEF, 1, 2, 3};  // no shader byte code
  const struct {
    std::function<CResource*()> create;
    const char* named;
  } cases[] = {
      {[] { return CreateMemoryTextureResource(1u << 20, 1, nullptr); }, "the 1048576 x 1 texture"},
      {[] { return CreateRenderTargetResource(1u << 20, 1); }, "the 1048576 x 1 render target"},
      {[] { return CreateVertexDeclarationResource(nullptr); }, "a vertex declaration of 0 elements"},
      {[&] { return CreateVertexShaderResource(junk, sizeof junk); }, "a vertex shader of 16 bytes"},
      {[&] { return CreatePixelShaderResource(junk, sizeof junk); }, "a pixel shader of 16 bytes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.named);
    hmtest::Reports().clear();
    EXPECT_EQ(c.create(), nullptr);
    EXPECT_EQ(GetDeviceResourceCount(), 0u);  // nothing half-made stays in the list
    ASSERT_EQ(hmtest::Reports().size(), 1u);
    EXPECT_NE(hmtest::Reports()[0].find(std::string("Cannot create ") + c.named), std::string::npos)
        << hmtest::Reports()[0];
  }
}

// Made once; the device refuses it after a loss.
class CLostForGood : public CResource {
 public:
  void Release() override {}
  bool Restore() override { return m_restores++ == 0; }

 private:
  int m_restores = 0;
};

TEST_F(DeviceResources, RestoringTellsWhenAnObjectDidNotComeBack) {
  CResource_RenderTargetTexture* target = CreateRenderTargetResource(8, 8);
  ASSERT_NE(AddDeviceResource(new CLostForGood), nullptr);
  m_device->ForceDeviceLoss();
  ReleaseAllDeviceResources();
  ASSERT_EQ(m_device->Reset(m_device->GetPresentParams()), GFX_OK);
  EXPECT_FALSE(RestoreAllDeviceResources());
  EXPECT_NE(target->Get(), nullptr);  // the others still come back
}

TEST(DeviceResourcesWithoutDevice, CreationLeavesTheObjectMissing) {
  SetD3DDevice(nullptr);
  CResource_TextureMemory* texture = CreateMemoryTextureResource(4, 4, nullptr);
  EXPECT_EQ(texture->Get(), nullptr);
  EXPECT_EQ(texture->Width(), 4u);
  DestroyAllDeviceResources();
  EXPECT_EQ(GetDeviceResourceCount(), 0u);
}

}  // namespace
